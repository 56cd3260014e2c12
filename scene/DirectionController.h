// The value sources that steer propulsions: directions (from keys or from touch moves), gains,
// and the vector controller that multiplies one of each.
#pragma once

#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "scene/Vector3D.h"

namespace Vund
{

class DirectionController : public Tarv::RefCounter
{
public:
    virtual NormalizedVector3D GetDirection() = 0;
};

// Six keys drive the axes: x = k4 - k3 always. In mode 0, y = k5 - k6 and z = k2 - k1. In any
// other mode k1 and k2 drive z without shift held and y (the opposite way) with shift held.
// Keys are read from the "InputState" service; without one no key is held.
class KeyboardDirectionController : public DirectionController
{
public:
    // The engine's key code of the shift key.
    static constexpr int SHIFT_KEY = 10;

    KeyboardDirectionController(int k1, int k2, int k3, int k4, int k5, int k6, int mode);
    NormalizedVector3D GetDirection() override;
    int GetMode() const { return m_mode; }

private:
    int m_keys[6];
    int m_mode;
    bool m_noShift; // the mode is 0: shift plays no part
};

// The sign of the touch's last move on x and y (screen y down), normalised.
class MouseDirectionController : public DirectionController
{
public:
    NormalizedVector3D GetDirection() override;
};

class GainController : public Tarv::RefCounter
{
public:
    virtual float GetGain() = 0;
};

class ConstantGainController : public GainController
{
public:
    explicit ConstantGainController(const float& gain) : m_gain(gain) {}
    float GetGain() override { return m_gain; }

private:
    float m_gain;
};

class VectorController : public Tarv::RefCounter
{
public:
    // Holds a reference to each; either may be null, and then the vector is zero.
    VectorController(DirectionController* direction, GainController* gain);
    ~VectorController() override;

    // The direction times the gain.
    Vector3D GetVector();

private:
    Tarv::SmartPtr<DirectionController> m_direction;
    Tarv::SmartPtr<GainController> m_gain;
};

} // namespace Vund

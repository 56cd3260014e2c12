// Quor::InputState: the latest state of the input devices as the application saw it: keys
// down, touch, the position and last move of the touch, and the accelerometer reading.
#pragma once

#include "engine/core/RefCounter.h"

namespace Quor
{

class InputState : public Tarv::RefCounter
{
public:
    // The engine's key codes run from 0 to KEY_COUNT - 1.
    static constexpr int KEY_COUNT = 69;

    struct Point
    {
        int x;
        int y;
    };

    struct Acceleration
    {
        float x;
        float y;
        float z;
    };

    // The input-state service, registered under "InputState" on first use; null when no
    // service registry exists. Main thread.
    static InputState* GetInstance();

    // Codes outside 0..KEY_COUNT-1 are ignored.
    void OnKeyDown(int key) { SetKey(key, true); }
    void OnKeyUp(int key) { SetKey(key, false); }
    // False for a code outside the table.
    bool IsKeyDown(int key) const;

    // Touch down and up only say whether the screen is touched: one track runs for the whole
    // run, so the first move of a later touch is measured from where the previous touch last
    // was, and the delta of the last move stays while the finger rests or after it lifts.
    void OnTouchDown() { m_touching = true; }
    void OnTouchUp() { m_touching = false; }
    // Hands the move to the current move handler: BeginTouchMove for the very first move,
    // MoveTouch from then on.
    void OnTouchMove(int x, int y);
    // Starts the track: records the position only.
    void BeginTouchMove(int x, int y);
    // Continues the track: the delta from the last position, then the new position.
    void MoveTouch(int x, int y);

    void OnAccelerometer(float x, float y, float z) { m_acceleration = {x, y, z}; }

    bool IsTouching() const { return m_touching; }
    Point GetPosition() const { return m_position; }
    Point GetDelta() const { return m_delta; }
    Acceleration GetAcceleration() const { return m_acceleration; }

private:
    void SetKey(int key, bool down);

    bool m_keyDown[KEY_COUNT] = {};
    bool m_touching = false;
    Point m_position = {0, 0};
    Point m_delta = {0, 0};
    void (InputState::*m_moveHandler)(int, int) = &InputState::BeginTouchMove;
    Acceleration m_acceleration = {0.0f, 0.0f, 0.0f};
};

} // namespace Quor

// Directions from the input state, and the vector controller.
#include "scene/DirectionController.h"

#include "framework/InputState.h"

namespace Vund
{

namespace
{

float Held(const Quor::InputState* input, int key)
{
    return input != nullptr && input->IsKeyDown(key) ? 1.0f : 0.0f;
}

float Sign(int value)
{
    return value > 0 ? 1.0f : (value < 0 ? -1.0f : 0.0f);
}

} // namespace

KeyboardDirectionController::KeyboardDirectionController(int k1, int k2, int k3, int k4, int k5, int k6, int mode)
    : m_keys{k1, k2, k3, k4, mode != 0 ? k1 : k5, mode != 0 ? k2 : k6}, m_mode(mode), m_noShift(mode == 0)
{
}

NormalizedVector3D KeyboardDirectionController::GetDirection()
{
    const Quor::InputState* input = Quor::InputState::GetInstance();
    const bool shift = !m_noShift && Held(input, SHIFT_KEY) != 0.0f;
    const float x = Held(input, m_keys[3]) - Held(input, m_keys[2]);
    const float y = m_noShift || shift ? Held(input, m_keys[4]) - Held(input, m_keys[5]) : 0.0f;
    const float z = m_noShift || !shift ? Held(input, m_keys[1]) - Held(input, m_keys[0]) : 0.0f;
    return NormalizedVector3D(UnitX * x + UnitY * y + UnitZ * z);
}

NormalizedVector3D MouseDirectionController::GetDirection()
{
    const Quor::InputState* input = Quor::InputState::GetInstance();
    if (input == nullptr)
        return NormalizedVector3D(Vector3D());
    const Quor::InputState::Point delta = input->GetDelta();
    return NormalizedVector3D(UnitX * Sign(delta.x) + UnitY * Sign(delta.y));
}

VectorController::VectorController(DirectionController* direction, GainController* gain)
    : m_direction(direction), m_gain(gain)
{
}

VectorController::~VectorController()
{
    m_gain.Reset();
    m_direction.Reset();
}

Vector3D VectorController::GetVector()
{
    if (!m_direction || !m_gain)
        return Vector3D();
    const NormalizedVector3D d = m_direction->GetDirection();
    const float g = m_gain->GetGain();
    return Vector3D(d.x * g, d.y * g, d.z * g);
}

} // namespace Vund

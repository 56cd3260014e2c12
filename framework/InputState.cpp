// Key and touch tracking of the input-state service.
#include "framework/InputState.h"

#include "framework/System.h"

namespace Quor
{

InputState* InputState::GetInstance()
{
    return System::GetOrCreateService<InputState>("InputState");
}

void InputState::SetKey(int key, bool down)
{
    if (key < 0 || key >= KEY_COUNT)
        return;
    m_keyDown[key] = down;
}

bool InputState::IsKeyDown(int key) const
{
    return key >= 0 && key < KEY_COUNT && m_keyDown[key];
}

void InputState::OnTouchMove(int x, int y)
{
    (this->*m_moveHandler)(x, y);
}

void InputState::BeginTouchMove(int x, int y)
{
    m_position = {x, y};
    m_moveHandler = &InputState::MoveTouch;
}

void InputState::MoveTouch(int x, int y)
{
    m_delta = {x - m_position.x, y - m_position.y};
    m_position = {x, y};
}

} // namespace Quor

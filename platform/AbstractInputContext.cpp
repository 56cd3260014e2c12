// Key dispatch to the application and the Backspace edit of the typed-text buffer.
#include "platform/AbstractInputContext.h"

#include "engine/core/KeyCodes.h"
#include "platform/AbstractApp.h"

namespace Tarv
{

void AbstractInputContext::Attach(AbstractApp* application)
{
    m_application = application;
    if (m_application != nullptr)
        m_application->OnTextInputAttach(m_committed);
}

WideString AbstractInputContext::GetText() const
{
    return WideString(m_committed + m_composing);
}

void AbstractInputContext::OnKeyDown(int key)
{
    if (m_application != nullptr)
        m_application->KeyPressed(key);
    // Backspace takes back the text being composed, or else the last committed character.
    if (key != KEY_BACK || m_committed.empty())
        return;
    if (m_composing.empty())
        m_committed.pop_back();
    else
        m_composing.clear();
    if (m_application != nullptr)
        m_application->OnTextInput(m_composing, m_committed);
}

void AbstractInputContext::OnKeyUp(int key)
{
    if (m_application != nullptr)
        m_application->KeyReleased(key);
}

void AbstractInputContext::ClearComposing()
{
    m_composing.clear();
    if (m_application != nullptr)
        m_application->OnTextInputCancel();
}

void AbstractInputContext::SetComposing(const WideString& text)
{
    m_composing = text;
    if (m_application != nullptr)
        m_application->OnTextCompose(m_composing, m_committed);
}

void AbstractInputContext::Commit(const WideString& text)
{
    m_committed += m_composing;
    if (m_application != nullptr)
        m_application->OnTextInput(text, m_committed);
    m_composing.clear();
}

} // namespace Tarv

// Tarv::AbstractInputContext: turns platform key events into key codes for the application and
// keeps a small typed-text buffer (committed text and text being composed).
#pragma once

#include "engine/core/RefCounter.h"
#include "engine/core/WideString.h"

namespace Tarv
{

class AbstractApp;

class AbstractInputContext : public RefCounter
{
public:
    // Binds the context to an application (not owned; null detaches) and hands it the
    // committed text through OnTextInputAttach.
    virtual void Attach(AbstractApp* application);
    virtual void Hook3() {}
    // Committed text followed by the text being composed.
    virtual WideString GetText() const;
    // The application's KeyPressed, then KEY_BACK edits the text (see the .cpp).
    virtual void OnKeyDown(int key);
    virtual void OnKeyUp(int key);
    virtual void ClearComposing();
    virtual void SetComposing(const WideString& text);
    virtual void Commit(const WideString& text);
    virtual bool Query10() { return false; }

    AbstractApp* GetApplication() const { return m_application; }
    const WideString& GetComposing() const { return m_composing; }
    const WideString& GetCommitted() const { return m_committed; }

protected:
    AbstractApp* m_application = nullptr;
    WideString m_composing;
    WideString m_committed;
};

} // namespace Tarv

// The key-code table of the handheld's keyboard and its Fn layer, and the pairing of each
// key release with the code of its press.
#include "platform/MaemoInputContext.h"

#include "engine/core/KeyCodes.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace Tarv
{

namespace
{

// The Fn layer over the letter keys, by lower-case letter; 0 keeps the plain letter.
int FnLetter(char letter)
{
    switch (letter) {
    case 'q': return KEY_1;
    case 'w': return KEY_2;
    case 'e': return KEY_3;
    case 'r': return KEY_4;
    case 't': return KEY_5;
    case 'y': return KEY_6;
    case 'u': return KEY_7;
    case 'i': return KEY_8;
    case 'o': return KEY_9;
    case 'p': return KEY_0;
    case 'a': return KEY_ASTERISK;
    case 'd': return KEY_HASH;
    case 'n': return KEY_FN_N;
    case 'v': return KEY_FN_V;
    default: return 0;
    }
}

int TranslateLetter(unsigned long keysym, bool fn)
{
    char letter = 0;
    if (keysym >= XK_a && keysym <= XK_z)
        letter = static_cast<char>('a' + (keysym - XK_a));
    else if (keysym >= XK_A && keysym <= XK_Z)
        letter = static_cast<char>('a' + (keysym - XK_A));
    else
        return KEY_INVALID;
    if (fn) {
        const int layered = FnLetter(letter);
        if (layered != 0)
            return layered;
    }
    return KEY_A + (letter - 'a');
}

} // namespace

int MaemoInputContext::TranslateKeysym(unsigned long keysym, bool fn)
{
    switch (keysym) {
    case XK_Shift_L: return KEY_SHIFT;
    case XK_Control_L: return fn ? KEY_TILDE : KEY_INVALID;
    case XK_Left: return KEY_LEFT;
    case XK_Right: return KEY_RIGHT;
    case XK_Up: return KEY_UP;
    case XK_Down: return KEY_DOWN;
    case XK_Return:
    case XK_KP_Enter: return KEY_SELECT;
    case XK_BackSpace: return KEY_BACK;
    case XK_space: return KEY_SPACE;
    case XK_period: return KEY_FULL_STOP;
    default: return TranslateLetter(keysym, fn);
    }
}

void MaemoInputContext::HandleKeyEvent(_XEvent* event)
{
    if (event == nullptr || (event->type != KeyPress && event->type != KeyRelease))
        return;
    const unsigned long keysym = XLookupKeysym(&event->xkey, 0);
    HandleKey(event->xkey.keycode, keysym, event->type == KeyPress);
}

void MaemoInputContext::HandleKey(unsigned keycode, unsigned long keysym, bool pressed)
{
    if (keysym == XK_ISO_Level3_Shift) {
        m_fn = pressed;
        return;
    }
    if (keysym == XK_Shift_L)
        m_shift = pressed;
    if (keycode >= m_held.size())
        return;

    int code = 0;
    if (pressed) {
        if (m_held[keycode])
            return;
        code = TranslateKeysym(keysym, m_fn);
        m_held[keycode] = true;
        m_heldCode[keycode] = code;
    } else {
        // A release without a press seen (the key went down before focus came) translates now.
        code = m_held[keycode] ? m_heldCode[keycode] : TranslateKeysym(keysym, m_fn);
        m_held[keycode] = false;
        m_heldCode[keycode] = 0;
    }
    if (code == KEY_INVALID)
        return;
    if (pressed)
        OnKeyDown(code);
    else
        OnKeyUp(code);
}

int MaemoInputContext::TranslateKey(_XEvent* event, bool pressed) const
{
    if (event == nullptr || (event->type != KeyPress && event->type != KeyRelease))
        return KEY_INVALID;
    const unsigned long keysym = XLookupKeysym(&event->xkey, 0);
    if (keysym == XK_ISO_Level3_Shift)
        return KEY_INVALID;
    const unsigned keycode = event->xkey.keycode;
    if (!pressed && keycode < m_held.size() && m_held[keycode])
        return m_heldCode[keycode];
    return TranslateKeysym(keysym, m_fn);
}

void MaemoInputContext::ForgetHeldKeys()
{
    m_held.fill(false);
    m_heldCode.fill(0);
}

} // namespace Tarv

// Tarv::MaemoInputContext: translates X11 key events of the handheld's keyboard, including its
// Fn layer (keysym ISO_Level3_Shift), into key codes.
#pragma once

#include "platform/AbstractInputContext.h"

#include <array>

union _XEvent;

namespace Tarv
{

class MaemoInputContext : public AbstractInputContext
{
public:
    // The code a keysym gives with the Fn layer on or off, or KEY_INVALID (0) when the key
    // sends nothing. Fn and Control_L without Fn give 0 here; HandleKey treats Fn itself.
    static int TranslateKeysym(unsigned long keysym, bool fn);

    // Dispatches a KeyPress or KeyRelease (other events are ignored), by the keysym at index 0.
    void HandleKeyEvent(_XEvent* event);
    // The same without an X event, for a key with X keycode `keycode` (8 to 255). A release
    // sends the code its press sent, even when Fn changed in between. A second press of a key
    // that is already down is the server's auto-repeat and is dropped.
    void HandleKey(unsigned keycode, unsigned long keysym, bool pressed);
    // The code HandleKeyEvent would send for the event now, without sending it; 0 for none.
    int TranslateKey(_XEvent* event, bool pressed) const;
    // Forgets the keys held down: called when focus changes, since the releases of keys held
    // while the window had no focus never arrive.
    void ForgetHeldKeys();

    bool IsShiftDown() const { return m_shift; }
    bool IsFnDown() const { return m_fn; }

private:
    bool m_shift = false;
    bool m_fn = false;
    // The code sent at the press of each X keycode, 0 while the key is up.
    std::array<int, 256> m_heldCode{};
    std::array<bool, 256> m_held{};
};

} // namespace Tarv

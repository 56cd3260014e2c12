// The keyboard table of the handheld, with and without its Fn layer, and the pairing of each
// release with its press.
#include "platform/MaemoInputContext.h"

#include "engine/core/KeyCodes.h"
#include "tests/platform/PlatformTestDoubles.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <ostream>

namespace
{

using Tarv::MaemoInputContext;
using App = PlatformTest::Recording<Tarv::AbstractApp>;
using Lines = std::vector<std::string>;

struct KeyRow {
    unsigned long keysym;
    int plain;
    int withFn;
};

// Letters in both cases; with Fn, q-p are the digits 1-9, 0 and a, d, n, v are *, #, 32, 33.
const KeyRow KEY_TABLE[] = {
    {XK_a, Tarv::KEY_A, Tarv::KEY_ASTERISK}, {XK_A, Tarv::KEY_A, Tarv::KEY_ASTERISK},
    {XK_d, Tarv::KEY_A + 3, Tarv::KEY_HASH}, {XK_n, Tarv::KEY_A + 13, 32},
    {XK_V, Tarv::KEY_A + 21, 33}, {XK_q, Tarv::KEY_A + 16, Tarv::KEY_1},
    {XK_O, Tarv::KEY_A + 14, Tarv::KEY_1 + 8}, {XK_p, Tarv::KEY_A + 15, Tarv::KEY_0},
    {XK_z, Tarv::KEY_Z, Tarv::KEY_Z}, {XK_Shift_L, Tarv::KEY_SHIFT, Tarv::KEY_SHIFT},
    {XK_Control_L, 0, Tarv::KEY_TILDE}, {XK_Left, Tarv::KEY_LEFT, Tarv::KEY_LEFT},
    {XK_Right, Tarv::KEY_RIGHT, Tarv::KEY_RIGHT}, {XK_Up, Tarv::KEY_UP, Tarv::KEY_UP},
    {XK_Down, Tarv::KEY_DOWN, Tarv::KEY_DOWN}, {XK_Return, Tarv::KEY_SELECT, Tarv::KEY_SELECT},
    {XK_KP_Enter, Tarv::KEY_SELECT, Tarv::KEY_SELECT}, {XK_BackSpace, Tarv::KEY_BACK, Tarv::KEY_BACK},
    {XK_space, Tarv::KEY_SPACE, Tarv::KEY_SPACE}, {XK_period, 34, 34},
    // Keys the handheld does not send.
    {XK_Escape, 0, 0}, {XK_F1, 0, 0}, {XK_KP_1, 0, 0}, {XK_Tab, 0, 0}, {XK_0, 0, 0},
    {XK_Control_R, 0, 0}, {XK_Shift_R, 0, 0}, {XK_comma, 0, 0}, {XK_asciitilde, 0, 0},
};

void PrintTo(const KeyRow& row, std::ostream* out)
{
    *out << "keysym 0x" << std::hex << row.keysym;
}

class KeyTable : public ::testing::TestWithParam<KeyRow>
{
};

TEST_P(KeyTable, TranslatesWithAndWithoutFn)
{
    const KeyRow row = GetParam();
    EXPECT_EQ(MaemoInputContext::TranslateKeysym(row.keysym, false), row.plain);
    EXPECT_EQ(MaemoInputContext::TranslateKeysym(row.keysym, true), row.withFn);
}

INSTANTIATE_TEST_SUITE_P(HandheldKeys, KeyTable, ::testing::ValuesIn(KEY_TABLE));

// A key event on the handheld's keycodes (Fn 92, p 33, Shift 50, Control 37); keycode 0 stands
// for a focus change that forgets the held keys.
struct KeyEvent {
    unsigned keycode;
    unsigned long keysym;
    bool pressed;
};

constexpr KeyEvent FN_DOWN{92, XK_ISO_Level3_Shift, true}, FN_UP{92, XK_ISO_Level3_Shift, false},
    P_DOWN{33, XK_p, true}, P_UP{33, XK_p, false}, CTRL_DOWN{37, XK_Control_L, true},
    CTRL_UP{37, XK_Control_L, false}, FORGET{0, 0, false};

struct EventCase {
    const char* what;
    std::vector<KeyEvent> events;
    Lines sent;
};

const EventCase EVENT_CASES[] = {
    {"Fn held around a letter sends the digit both ways", {FN_DOWN, P_DOWN, P_UP, FN_UP},
     {"down 13", "up 13"}},
    {"Fn released first still releases the digit", {FN_DOWN, P_DOWN, FN_UP, P_UP, P_DOWN, P_UP},
     {"down 13", "up 13", "down 50", "up 50"}},
    {"the server's repeats of a held key are dropped", {P_DOWN, P_DOWN, P_DOWN, P_UP},
     {"down 50", "up 50"}},
    {"forgotten keys press again after a focus change", {P_DOWN, FORGET, P_DOWN},
     {"down 50", "down 50"}},
    {"shift is sent", {{50, XK_Shift_L, true}, {50, XK_Shift_L, false}}, {"down 10", "up 10"}},
    {"control sends tilde only with Fn", {CTRL_DOWN, CTRL_UP, FN_DOWN, CTRL_DOWN, CTRL_UP, FN_UP},
     {"down 31", "up 31"}},
    {"unsent keys and bad keycodes send nothing",
     {{9, XK_Escape, true}, {9, XK_Escape, false}, {300, XK_p, true}, {300, XK_p, false}}, {}},
    {"a release without a press translates now", {P_UP}, {"up 50"}},
};

TEST(MaemoKeyEvents, PairEachReleaseWithItsPress)
{
    for (const EventCase& c : EVENT_CASES) {
        Tarv::SmartPtr<App> app(new App);
        Tarv::SmartPtr<MaemoInputContext> context(new MaemoInputContext);
        context->Attach(app.Get());
        for (const KeyEvent& e : c.events) {
            if (e.keycode == 0)
                context->ForgetHeldKeys();
            else
                context->HandleKey(e.keycode, e.keysym, e.pressed);
        }
        EXPECT_EQ(app->log.Lines(), c.sent) << c.what;
        EXPECT_FALSE(context->IsFnDown() || context->IsShiftDown()) << c.what;
    }
}

} // namespace

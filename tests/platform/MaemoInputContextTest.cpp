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

const KeyRow KEY_TABLE[] = {
    {XK_Shift_L, Tarv::KEY_SHIFT, Tarv::KEY_SHIFT},
    {XK_Control_L, 0, Tarv::KEY_TILDE},
    {XK_Left, Tarv::KEY_LEFT, Tarv::KEY_LEFT},
    {XK_Right, Tarv::KEY_RIGHT, Tarv::KEY_RIGHT},
    {XK_Up, Tarv::KEY_UP, Tarv::KEY_UP},
    {XK_Down, Tarv::KEY_DOWN, Tarv::KEY_DOWN},
    {XK_Return, Tarv::KEY_SELECT, Tarv::KEY_SELECT},
    {XK_KP_Enter, Tarv::KEY_SELECT, Tarv::KEY_SELECT},
    {XK_BackSpace, Tarv::KEY_BACK, Tarv::KEY_BACK},
    {XK_space, Tarv::KEY_SPACE, Tarv::KEY_SPACE},
    {XK_period, 34, 34},
    // Keys the handheld does not send.
    {XK_Escape, 0, 0},
    {XK_F1, 0, 0},
    {XK_KP_1, 0, 0},
    {XK_Tab, 0, 0},
    {XK_0, 0, 0},
    {XK_Control_R, 0, 0},
    {XK_Shift_R, 0, 0},
    {XK_comma, 0, 0},
    {XK_asciitilde, 0, 0},
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

// With Fn, the letters q-p are the digits 1-9, 0; a, d, n and v are *, #, 32 and 33.
int ExpectedFnLetter(char letter)
{
    const std::string digits = "qwertyuiop";
    const std::size_t digit = digits.find(letter);
    if (digit != std::string::npos)
        return digit == 9 ? Tarv::KEY_0 : Tarv::KEY_1 + static_cast<int>(digit);
    switch (letter) {
    case 'a': return Tarv::KEY_ASTERISK;
    case 'd': return Tarv::KEY_HASH;
    case 'n': return 32;
    case 'v': return 33;
    default: return Tarv::KEY_A + (letter - 'a');
    }
}

TEST(MaemoKeyLetters, EveryLetterInBothCasesAndLayers)
{
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        const unsigned long lower = XK_a + static_cast<unsigned long>(letter - 'a');
        const unsigned long upper = XK_A + static_cast<unsigned long>(letter - 'a');
        const int plain = Tarv::KEY_A + (letter - 'a');
        EXPECT_EQ(MaemoInputContext::TranslateKeysym(lower, false), plain) << letter;
        EXPECT_EQ(MaemoInputContext::TranslateKeysym(upper, false), plain) << letter;
        EXPECT_EQ(MaemoInputContext::TranslateKeysym(lower, true), ExpectedFnLetter(letter))
            << letter;
        EXPECT_EQ(MaemoInputContext::TranslateKeysym(upper, true), ExpectedFnLetter(letter))
            << letter;
    }
}

TEST(MaemoKeyLetters, FnLayerSpotChecks)
{
    EXPECT_EQ(MaemoInputContext::TranslateKeysym(XK_p, true), 13);
    EXPECT_EQ(MaemoInputContext::TranslateKeysym(XK_q, true), 14);
    EXPECT_EQ(MaemoInputContext::TranslateKeysym(XK_O, true), 22);
    EXPECT_EQ(MaemoInputContext::TranslateKeysym(XK_z, true), 60);
}

class MaemoKeyEvents : public ::testing::Test
{
protected:
    void SetUp() override { m_context->Attach(m_app.Get()); }
    void Key(unsigned keycode, unsigned long keysym, bool pressed)
    {
        m_context->HandleKey(keycode, keysym, pressed);
    }

    Tarv::SmartPtr<App> m_app{new App};
    Tarv::SmartPtr<MaemoInputContext> m_context{new MaemoInputContext};
    static constexpr unsigned FN = 92;
    static constexpr unsigned P = 33;
};

TEST_F(MaemoKeyEvents, FnHeldAroundALetterSendsTheDigitBothWays)
{
    Key(FN, XK_ISO_Level3_Shift, true);
    EXPECT_TRUE(m_context->IsFnDown());
    Key(P, XK_p, true);
    Key(P, XK_p, false);
    Key(FN, XK_ISO_Level3_Shift, false);
    EXPECT_FALSE(m_context->IsFnDown());
    EXPECT_EQ(m_app->log.Lines(), (Lines{"down 13", "up 13"}));
}

TEST_F(MaemoKeyEvents, FnReleasedFirstStillReleasesTheDigit)
{
    Key(FN, XK_ISO_Level3_Shift, true);
    Key(P, XK_p, true);
    Key(FN, XK_ISO_Level3_Shift, false);
    Key(P, XK_p, false);
    Key(P, XK_p, true);
    Key(P, XK_p, false);
    EXPECT_EQ(m_app->log.Lines(), (Lines{"down 13", "up 13", "down 50", "up 50"}));
}

TEST_F(MaemoKeyEvents, ServerRepeatOfAHeldKeyIsDropped)
{
    Key(P, XK_p, true);
    Key(P, XK_p, true);
    Key(P, XK_p, true);
    Key(P, XK_p, false);
    EXPECT_EQ(m_app->log.Lines(), (Lines{"down 50", "up 50"}));
}

TEST_F(MaemoKeyEvents, ForgottenKeysPressAgainAfterFocusChange)
{
    Key(P, XK_p, true);
    m_context->ForgetHeldKeys();
    Key(P, XK_p, true);
    EXPECT_EQ(m_app->log.Lines(), (Lines{"down 50", "down 50"}));
}

TEST_F(MaemoKeyEvents, ShiftIsSentAndTracked)
{
    Key(50, XK_Shift_L, true);
    EXPECT_TRUE(m_context->IsShiftDown());
    Key(50, XK_Shift_L, false);
    EXPECT_FALSE(m_context->IsShiftDown());
    EXPECT_EQ(m_app->log.Lines(), (Lines{"down 10", "up 10"}));
}

TEST_F(MaemoKeyEvents, ControlSendsTildeOnlyWithFn)
{
    Key(37, XK_Control_L, true);
    Key(37, XK_Control_L, false);
    EXPECT_TRUE(m_app->log.Lines().empty());
    Key(FN, XK_ISO_Level3_Shift, true);
    Key(37, XK_Control_L, true);
    Key(37, XK_Control_L, false);
    EXPECT_EQ(m_app->log.Lines(), (Lines{"down 31", "up 31"}));
}

TEST_F(MaemoKeyEvents, UnsentKeysAndBadKeycodesSendNothing)
{
    Key(9, XK_Escape, true);
    Key(9, XK_Escape, false);
    Key(300, XK_p, true);
    Key(300, XK_p, false);
    EXPECT_TRUE(m_app->log.Lines().empty());
}

TEST_F(MaemoKeyEvents, ReleaseWithoutPressTranslatesNow)
{
    Key(P, XK_p, false);
    EXPECT_EQ(m_app->log.Lines(), (Lines{"up 50"}));
}

} // namespace

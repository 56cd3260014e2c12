// The audio settings service against a real mixer pulled by hand: attenuation limits, the
// volume steps and switches written to the settings, and start-up muting both kinds.
#include "framework/Audio.h"

#include "audio/EffectMute.h"
#include "audio/EffectVolumeShift.h"
#include "audio/sources/AudioPosition.h"
#include "framework/Settings.h"
#include "tests/framework/AssetWorld.h"

#include <gtest/gtest.h>

#include <fstream>

namespace
{

using Quor::Audio;

class AudioServiceTest : public AssetTest::AssetWorld
{
protected:
    void SetUp() override
    {
        AssetWorld::SetUp();
        StartMixer();
        Tarv::VfsMountNative(m_dir.Path() + "/", "", 0);
    }

    // Settings from a defaults file holding the given keys (XML key elements).
    Quor::Settings* Settings(const std::string& keys)
    {
        std::ofstream(m_dir.Path() + "/defaults.xml") << "<registry><node name=\"quor\">" << keys << "</node></registry>";
        Quor::Settings* settings = Quor::Settings::GetInstance();
        EXPECT_TRUE(settings->Init("quor", "settings.xml", "defaults.xml", true));
        return settings;
    }

    // Plays a constant level through the mixer and returns the first mixed sample.
    std::int16_t MixedLevel(std::int16_t level)
    {
        const auto source = Tarv::MakeSmart<::AudioTest::VectorSource>(std::vector<std::int16_t>(4096, level), 1, AssetTest::RATE);
        m_mixer->Play(source.Get(), true);
        const std::vector<std::int16_t> out = Pull(1024);
        m_mixer->StopAllChannels();
        return out[100];
    }
};

TEST_F(AudioServiceTest, FreshServiceIsSilentWithBothKindsOpen)
{
    Audio* audio = Audio::GetInstance();
    ASSERT_NE(audio, nullptr);
    EXPECT_EQ(audio->GetAttenuation(), Audio::MAX_ATTENUATION);
    EXPECT_FALSE(audio->IsSfxMuted());
    EXPECT_FALSE(audio->IsMusicMuted());
    EXPECT_EQ(MixedLevel(8000), 0);
}

TEST_F(AudioServiceTest, AttenuationIsClampedAsUnsigned)
{
    Audio* audio = Audio::GetInstance();
    const std::pair<int, unsigned> cases[] = {{-1, 16}, {0, 0}, {15, 15}, {16, 16}, {17, 16}, {-2147483647 - 1, 16}};
    for (const auto& [given, expected] : cases) {
        audio->SetAttenuation(given);
        EXPECT_EQ(audio->GetAttenuation(), expected) << given;
        EXPECT_EQ(audio->GetVolumeShift()->GetShift(), expected) << given;
    }
}

TEST_F(AudioServiceTest, StoredVolumeShiftsTheMixedOutput)
{
    Settings("<key name=\"volume\" type=\"int\">3</key>");
    Audio::InitFromSettings();
    EXPECT_EQ(MixedLevel(8000), 8000 >> 3);
}

TEST_F(AudioServiceTest, MissingVolumeGivesFullVolume)
{
    Settings("");
    Audio::InitFromSettings();
    EXPECT_EQ(Audio::GetInstance()->GetAttenuation(), 0u);
    EXPECT_EQ(MixedLevel(8000), 8000);
}

// Every start is muted with both switches written off, whatever the last run saved: the menu's
// prompt then switches them on, so what it shows is always what is heard.
TEST_F(AudioServiceTest, EveryStartMutesBothAndWritesTheSwitchesOff)
{
    Quor::Settings* settings = Settings("<key name=\"sfx_on\" type=\"bool\">true</key>");
    Audio::InitFromSettings();
    EXPECT_TRUE(Audio::GetInstance()->IsSfxMuted());
    EXPECT_TRUE(Audio::GetInstance()->IsMusicMuted());
    EXPECT_FALSE(settings->GetBool("sfx_on"));
    Audio::SwitchSfx();
    Audio::SwitchMusic();
    EXPECT_FALSE(Audio::GetInstance()->IsMusicMuted());
    ASSERT_TRUE(settings->Save());

    TearDown();
    SetUp();
    ASSERT_TRUE(Quor::Settings::GetInstance()->Init("quor", "settings.xml", "defaults.xml", false));
    ASSERT_TRUE(Quor::Settings::GetInstance()->GetBool("music_on")) << "the saved choice is read back";
    Audio::InitFromSettings();
    EXPECT_TRUE(Audio::GetInstance()->IsSfxMuted());
    EXPECT_TRUE(Audio::GetInstance()->IsMusicMuted());
    EXPECT_FALSE(Quor::Settings::GetInstance()->GetBool("sfx_on"));
    EXPECT_FALSE(Quor::Settings::GetInstance()->GetBool("music_on"));
}

TEST_F(AudioServiceTest, SwitchesToggleWhatIsHeardAndStoreIt)
{
    Quor::Settings* settings = Settings("");
    Audio::InitFromSettings();
    Audio* audio = Audio::GetInstance();
    Audio::SwitchSfx();
    EXPECT_FALSE(audio->IsSfxMuted());
    EXPECT_TRUE(settings->GetBool("sfx_on"));
    Audio::SwitchSfx();
    EXPECT_TRUE(audio->IsSfxMuted());
    EXPECT_FALSE(settings->GetBool("sfx_on"));
    // The music switch leaves the sound effects alone.
    Audio::SwitchMusic();
    EXPECT_FALSE(audio->IsMusicMuted());
    EXPECT_TRUE(settings->GetBool("music_on"));
    EXPECT_TRUE(audio->IsSfxMuted());
}

// Where the stored switch and the mute disagree (a script or the console wrote the key), the
// stored switch decides what the next switch does.
TEST_F(AudioServiceTest, SwitchesFollowTheStoredSettingNotTheMute)
{
    Quor::Settings* settings = Settings("");
    Audio* audio = Audio::GetInstance();
    const struct {
        bool stored, muted, wantMuted;
    } cases[] = {{true, true, true}, {true, false, true}, {false, true, false}, {false, false, false}};
    for (const auto& c : cases) {
        settings->SetBool("sfx_on", c.stored);
        settings->SetBool("music_on", c.stored);
        audio->GetSfxMute()->SetMuted(c.muted);
        audio->GetMusicMute()->SetMuted(c.muted);
        Audio::SwitchSfx();
        Audio::SwitchMusic();
        EXPECT_EQ(audio->IsSfxMuted(), c.wantMuted) << c.stored << c.muted;
        EXPECT_EQ(audio->IsMusicMuted(), c.wantMuted) << c.stored << c.muted;
        EXPECT_EQ(settings->GetBool("sfx_on"), !c.stored) << c.stored << c.muted;
        EXPECT_EQ(settings->GetBool("music_on"), !c.stored) << c.stored << c.muted;
    }
}

TEST_F(AudioServiceTest, VolumeStepsStopAtTheLimitsAndAreStored)
{
    Quor::Settings* settings = Settings("<key name=\"volume\" type=\"int\">15</key>");
    Audio::InitFromSettings();
    Audio::VolumeDown();
    EXPECT_EQ(settings->GetInt("volume"), 16);
    Audio::VolumeDown();
    EXPECT_EQ(settings->GetInt("volume"), 16);
    Audio::GetInstance()->SetAttenuation(0);
    Audio::VolumeUp();
    EXPECT_EQ(settings->GetInt("volume"), 0);
    Audio::VolumeDown();
    EXPECT_EQ(Audio::GetInstance()->GetAttenuation(), 1u);
}

// The mixer holds the volume shift by its own reference: the output stays at the service's
// volume after the service is gone.
TEST_F(AudioServiceTest, VolumeShiftOutlivesTheService)
{
    Audio::GetInstance()->SetAttenuation(3);
    Quor::System::Destroy();
    EXPECT_EQ(MixedLevel(8000), 8000 >> 3);
    Quor::System::Create(nullptr);
}

} // namespace

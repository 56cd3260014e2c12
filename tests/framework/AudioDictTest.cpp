// The sound table over real Ogg Vorbis files in a mounted archive, played through the real
// mixer and checked on the samples it mixes: naming, kinds, replay, loops, ends, mutes, pauses.
#include "framework/AudioDict.h"

#include "audio/AudioChannel.h"
#include "framework/Audio.h"
#include "framework/CacheList.h"
#include "audio/sources/AudioXM.h"
#include "tests/framework/AssetWorld.h"
#include "tools/xm/XmFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace
{

using AssetTest::MakeOgg;
using Quor::AudioDict;

constexpr std::size_t SHORT_FRAMES = 3000;

class AudioDictTest : public AssetTest::AssetWorld
{
protected:
    void SetUp() override
    {
        AssetWorld::SetUp();
        MountArchive({{"music/menu_music.ogg", MakeOgg(440.0, 44100)},
                      {"sfx/menu_ok1.ogg", MakeOgg(880.0, SHORT_FRAMES)},
                      {"sfx/click.ogg", MakeOgg(660.0, SHORT_FRAMES)},
                      {"music/click.ogg", MakeOgg(440.0, SHORT_FRAMES)},
                      {"a/music/b/x.ogg", MakeOgg(440.0, SHORT_FRAMES)},
                      {"menu_ok2.ogg", MakeOgg(440.0, SHORT_FRAMES)},
                      {"music/song.xm", Module()}});
        mixer = StartMixer();
        audio = Quor::Audio::GetInstance();
        audio->SetAttenuation(0);
    }

    double Rms(std::size_t samples) { return AudioTest::MeasureRms(Pull(samples)); }

    static AssetTest::Bytes Module()
    {
        Tarv::XmModuleDesc module;
        Tarv::XmWriter writer;
        return Tarv::MakeXmFixture("anchor", module) ? writer.Write(module) : AssetTest::Bytes();
    }

    Tarv::Mixer* mixer = nullptr;
    Quor::Audio* audio = nullptr;
    AudioDict sounds;
};

TEST_F(AudioDictTest, SoundsAreNamedByBaseNameAndKindByTheirDirectoryFirstComeFirst)
{
    EXPECT_TRUE(sounds.LoadSound("music/menu_music.ogg", false, false));
    EXPECT_TRUE(sounds.LoadSound("sfx/menu_ok1.ogg", false, false));
    EXPECT_TRUE(sounds.LoadSound("menu_ok2.ogg", false, false));
    EXPECT_TRUE(sounds.LoadSound("a/music/b/x.ogg", false, false));
    ASSERT_NE(sounds.FindSound("menu_music"), nullptr);
    EXPECT_TRUE(sounds.FindSound("menu_music")->music);
    EXPECT_TRUE(sounds.FindSound("menu_music")->source);
    EXPECT_FALSE(sounds.FindSound("menu_ok1")->music);
    EXPECT_FALSE(sounds.FindSound("menu_ok2")->music);
    EXPECT_FALSE(sounds.FindSound("x")->music);
    // The first sound of a base name stays.
    EXPECT_TRUE(sounds.LoadSound("sfx/click.ogg", false, false));
    EXPECT_TRUE(sounds.LoadSound("music/click.ogg", false, false));
    EXPECT_FALSE(sounds.LoadSound("music/click.ogg", true, false));
    EXPECT_FALSE(sounds.FindSound("click")->music);
}

TEST_F(AudioDictTest, MissingSoundGetsAnEntryWithoutSourceAndPlaysNothing)
{
    EXPECT_TRUE(sounds.LoadSound("sfx/none.ogg", false, false));
    ASSERT_TRUE(sounds.HasSound("none"));
    EXPECT_FALSE(sounds.FindSound("none")->source);
    EXPECT_FALSE(sounds.Play("none", false));
    EXPECT_FALSE(sounds.IsPlaying("none"));
    EXPECT_FALSE(sounds.Play("never_loaded", true));
    EXPECT_EQ(mixer->GetChannelCount(), 0u);
}

TEST_F(AudioDictTest, CacheListHoldsSoundsAndOptionsPickTheKey)
{
    Quor::CacheList::GetInstance()->Add("*.ogg");
    sounds.LoadSound("sfx/click.ogg", false, false);
    sounds.LoadSound("sfx/menu_ok1.ogg", false, true);
    EXPECT_TRUE(Tarv::AssetDict::Instance->IsHeld("sfx/click.ogg@cache"));
    EXPECT_TRUE(Tarv::AssetDict::Instance->IsHeld("sfx/menu_ok1.ogg@buffer"));
    EXPECT_TRUE(Quor::CacheList::GetInstance()->IsUsed(".ogg"));
    // A second sound of a taken base name is still loaded, and held, though the entry stays.
    sounds.LoadSound("music/click.ogg", false, false);
    EXPECT_TRUE(Tarv::AssetDict::Instance->IsHeld("music/click.ogg@cache"));
    EXPECT_FALSE(sounds.FindSound("click")->music);
}

TEST_F(AudioDictTest, OneShotPlaysTheFileThenEndsButStaysRecorded)
{
    sounds.LoadSound("sfx/menu_ok1.ogg", false, false);
    EXPECT_FALSE(sounds.Play("menu_ok1", false));
    const std::vector<std::int16_t> first = Pull(2048);
    EXPECT_NEAR(AudioTest::MeasureFrequency(first, AssetTest::RATE), 880.0, 15.0);
    EXPECT_GT(AudioTest::MeasureRms(first), 4000.0);
    Pull(8192);
    EXPECT_LT(Rms(1024), 1.0);
    EXPECT_EQ(mixer->GetChannelCount(), 0u);
    EXPECT_TRUE(sounds.IsPlaying("menu_ok1"));
    EXPECT_FALSE(sounds.GetChannel("menu_ok1"));
    // Playing an ended one-shot again starts it afresh and reports no stop.
    EXPECT_FALSE(sounds.Play("menu_ok1", false));
    EXPECT_GT(Rms(1024), 4000.0);
    // Stopping an ended sound is false and forgets it.
    Pull(8192);
    EXPECT_FALSE(sounds.Stop("menu_ok1"));
    EXPECT_FALSE(sounds.IsPlaying("menu_ok1"));
    EXPECT_FALSE(sounds.Stop("menu_ok1"));
}

TEST_F(AudioDictTest, PlayingAgainReplacesTheChannelFromTheStart)
{
    sounds.LoadSound("music/menu_music.ogg", false, false);
    sounds.Play("menu_music", true);
    const Tarv::SmartPtr<Tarv::AudioChannel> first = sounds.GetChannel("menu_music");
    EXPECT_TRUE(sounds.Play("menu_music", true));
    EXPECT_EQ(mixer->GetChannelCount(), 1u);
    EXPECT_NE(sounds.GetChannel("menu_music"), first);
}

TEST_F(AudioDictTest, LoopingSoundKeepsPlayingPastItsEnd)
{
    sounds.LoadSound("sfx/click.ogg", false, false);
    sounds.Play("click", true);
    ASSERT_TRUE(sounds.GetChannel("click")->IsLooping());
    Pull(SHORT_FRAMES * 3);
    const std::vector<std::int16_t> later = Pull(2048);
    EXPECT_NEAR(AudioTest::MeasureFrequency(later, AssetTest::RATE), 660.0, 20.0);
    EXPECT_EQ(mixer->GetChannelCount(), 1u);
    EXPECT_TRUE(sounds.Stop("click"));
    EXPECT_EQ(mixer->GetChannelCount(), 0u);
    // The rest of the block already mixed still plays; the one after it is silent.
    Pull(1024);
    EXPECT_LT(Rms(1024), 1.0);
}

TEST_F(AudioDictTest, MutesSilenceTheirOwnKindOnly)
{
    sounds.LoadSound("music/menu_music.ogg", false, false);
    sounds.LoadSound("sfx/click.ogg", false, false);
    audio->MuteMusic();
    sounds.Play("menu_music", true);
    EXPECT_LT(Rms(1024), 1.0);
    // The sound effect is heard through the music mute.
    sounds.Play("click", true);
    EXPECT_NEAR(AudioTest::MeasureFrequency(Pull(2048), AssetTest::RATE), 660.0, 20.0);
    sounds.Stop("click");
    // Opening the mute makes the running music audible where it has got to.
    audio->UnmuteMusic();
    EXPECT_NEAR(AudioTest::MeasureFrequency(Pull(2048), AssetTest::RATE), 440.0, 10.0);
    audio->MuteSfx();
    sounds.Play("click", false);
    EXPECT_NEAR(AudioTest::MeasureFrequency(Pull(2048), AssetTest::RATE), 440.0, 10.0);
    // A muted one-shot still runs to its end.
    sounds.Stop("menu_music");
    Pull(SHORT_FRAMES * 3);
    EXPECT_EQ(mixer->GetChannelCount(), 0u);
}

TEST_F(AudioDictTest, PauseKeepsThePositionAndResumeGoesOn)
{
    sounds.LoadSound("music/menu_music.ogg", false, false);
    sounds.Play("menu_music", true);
    Pull(1024);
    EXPECT_TRUE(sounds.Pause("menu_music"));
    EXPECT_LT(Rms(2048), 1.0);
    EXPECT_TRUE(sounds.Resume("menu_music"));
    EXPECT_GT(Rms(1024), 4000.0);
    sounds.PauseAll();
    EXPECT_LT(Rms(1024), 1.0);
    sounds.ResumeAll();
    EXPECT_GT(Rms(1024), 4000.0);
    EXPECT_FALSE(sounds.Pause("click"));
}

TEST_F(AudioDictTest, ManySoundsPlayBeyondTheMixerLimit)
{
    const char* const paths[] = {"music/menu_music.ogg", "sfx/menu_ok1.ogg", "sfx/click.ogg", "a/music/b/x.ogg",
                                 "menu_ok2.ogg"};
    for (const char* path : paths)
        sounds.LoadSound(path, false, false);
    for (const char* name : {"menu_music", "menu_ok1", "click", "x", "menu_ok2"})
        sounds.Play(name, true);
    EXPECT_EQ(mixer->GetChannelCount(), 5u);
    sounds.StopAll();
    EXPECT_EQ(mixer->GetChannelCount(), 0u);
    EXPECT_FALSE(sounds.IsPlaying("click"));
    sounds.StopAll();
}

TEST_F(AudioDictTest, UnloadClearAndDestructionStopChannels)
{
    {
        AudioDict local;
        local.LoadSound("sfx/click.ogg", false, false);
        local.LoadSound("music/menu_music.ogg", false, false);
        local.Play("click", true);
        local.Play("menu_music", true);
        EXPECT_TRUE(local.Unload("click"));
        EXPECT_FALSE(local.Unload("click"));
        EXPECT_EQ(mixer->GetChannelCount(), 1u);
    }
    EXPECT_EQ(mixer->GetChannelCount(), 0u);
    sounds.LoadSound("sfx/click.ogg", false, false);
    sounds.Play("click", true);
    sounds.Clear();
    EXPECT_FALSE(sounds.HasSound("click"));
    EXPECT_EQ(mixer->GetChannelCount(), 0u);
}

TEST_F(AudioDictTest, TwoTablesShareOneSource)
{
    AudioDict other;
    sounds.LoadSound("sfx/click.ogg", false, false);
    other.LoadSound("sfx/click.ogg", false, false);
    EXPECT_EQ(sounds.FindSound("click")->source, other.FindSound("click")->source);
    sounds.Play("click", false);
    other.Play("click", false);
    EXPECT_EQ(mixer->GetChannelCount(), 2u);
}

// A module has one player: a play goes on where it stood. Only a play that starts while another
// is live gets a player of its own, from the song's start, so two states playing one module at
// once mix the song with itself one block behind.
TEST_F(AudioDictTest, AModuleGoesOnWhereItsPlayerStoodAndASecondPlayAtOnceHasItsOwn)
{
    AudioDict other;
    ASSERT_TRUE(sounds.LoadSound("music/song.xm", true, false));
    ASSERT_TRUE(other.LoadSound("music/song.xm", true, false));
    ASSERT_TRUE(sounds.FindSound("song")->source);
    const Tarv::SmartPtr<Tarv::AudioXM> alone(Tarv::AudioXM::Open("music/song.xm"));
    ASSERT_TRUE(alone);
    std::vector<std::int16_t> song(4 * 1024);
    alone->Read(song.data(), unsigned(song.size() * 2));

    sounds.Play("song", true);
    std::vector<std::int16_t> mixed = Pull(1024);
    other.Play("song", true);
    std::vector<std::int16_t> more = Pull(2048);
    mixed.insert(mixed.end(), more.begin(), more.end());
    for (std::size_t i = 0; i < mixed.size(); ++i) {
        const int second = i >= 1024 ? song[i - 1024] : 0;
        ASSERT_EQ(mixed[i], std::clamp(song[i] + second, -32768, 32767)) << i;
    }
    // Played again: the first play goes on at 3072, the second plays on at 2048.
    sounds.Play("song", true);
    more = Pull(1024);
    for (std::size_t i = 0; i < more.size(); ++i)
        ASSERT_EQ(more[i], std::clamp(song[3072 + i] + song[2048 + i], -32768, 32767)) << i;
}

} // namespace

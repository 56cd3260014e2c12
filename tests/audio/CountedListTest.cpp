// The counted-list helpers: unlinking hands the reference to the caller, and the effect chain
// passes each stage's valid bytes on and drops finished stages without skipping the next one.
#include "audio/CountedList.h"

#include "audio/AudioEffect.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

using namespace Tarv;

namespace
{

// Records what it is given, gives back validBytes - trim, and finishes after finishAfter calls.
class StageEffect : public AudioEffect
{
public:
    StageEffect(unsigned trim, std::size_t finishAfter)
        : AudioEffect(AudioFormat{1, 22050}), m_trim(trim), m_finishAfter(finishAfter)
    {
    }
    unsigned Process(void*, unsigned requestedBytes, unsigned validBytes) override
    {
        calls.push_back({requestedBytes, validBytes});
        return validBytes - m_trim;
    }
    bool IsFinished() const override { return m_finishAfter > 0 && calls.size() >= m_finishAfter; }

    std::vector<std::pair<unsigned, unsigned>> calls;

private:
    unsigned m_trim;
    std::size_t m_finishAfter;
};

} // namespace

TEST(CountedList, UnlinkFirstHandsOverTheReference)
{
    SmartPtr<StageEffect> effect(new StageEffect(0, 0));
    std::vector<SmartPtr<AudioEffect>> list{SmartPtr<AudioEffect>(effect.Get())};
    SmartPtr<AudioEffect> removed;
    EXPECT_TRUE(UnlinkFirst<AudioEffect>(list, effect.Get(), removed));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(removed.Get(), effect.Get());
    EXPECT_EQ(effect->GetRefCount(), 2);
    EXPECT_FALSE(UnlinkFirst<AudioEffect>(list, effect.Get(), removed));
}

TEST(CountedList, EffectChainPassesValidBytesOnAndDropsFinishedStages)
{
    SmartPtr<StageEffect> first(new StageEffect(2, 0));
    SmartPtr<StageEffect> once(new StageEffect(4, 1));
    SmartPtr<StageEffect> last(new StageEffect(0, 0));
    std::vector<SmartPtr<AudioEffect>> chain{SmartPtr<AudioEffect>(first.Get()),
                                             SmartPtr<AudioEffect>(once.Get()),
                                             SmartPtr<AudioEffect>(last.Get())};
    std::uint8_t buffer[64] = {};

    EXPECT_EQ(ProcessEffectChain(chain, buffer, 64, 40), 34u);
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_EQ(chain[1].Get(), last.Get());
    EXPECT_EQ(once->GetRefCount(), 1);
    ASSERT_EQ(last->calls.size(), 1u); // the stage behind the dropped one still ran
    EXPECT_EQ(last->calls[0], std::make_pair(64u, 34u));

    EXPECT_EQ(ProcessEffectChain(chain, buffer, 64, 40), 38u);
    EXPECT_EQ(once->calls.size(), 1u);
}

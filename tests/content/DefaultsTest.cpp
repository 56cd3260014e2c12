// The defaults file against the code: every setting the program reads or writes has a default
// of the type the code uses, and the file reads as the registry reads it.
#include "engine/core/Any.h"
#include "engine/core/NarrowString.h"
#include "engine/registry/Registry.h"
#include "tests/content/SourceScan.h"

#include <gtest/gtest.h>

namespace
{

const std::string DEFAULTS = std::string(BRASHWICK_SOURCE_DIR) + "/content/platform/config/defaults.xml";

bool HoldsType(const Tarv::Any& value, const std::string& type)
{
    if (type == "Int")
        return value.Holds<int>();
    if (type == "Bool")
        return value.Holds<bool>();
    return value.Holds<Tarv::NarrowString>();
}

class Defaults : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_registry.LoadString(ContentTest::ReadText(DEFAULTS), false, "")); }

    // The default's value, empty when there is none.
    Tarv::Any Value(const std::string& name) const
    {
        Tarv::Any value;
        m_registry.GetValue("/quor/" + name, value);
        return value;
    }

    Tarv::Registry m_registry;
};

} // namespace

TEST_F(Defaults, EverySettingTheCodeNamesHasADefaultOfItsType)
{
    std::size_t found = 0;
    for (const std::string& file : ContentTest::ListSourceFiles()) {
        for (const auto& use : ContentTest::FindSettingUses(ContentTest::ReadText(file), file)) {
            ++found;
            const Tarv::Any value = Value(use.name);
            EXPECT_TRUE(HoldsType(value, use.type))
                << use.name << " (" << use.type << ", named in " << use.file << ") has no default of that type";
        }
    }
    // The scan itself works: the logic rate, the language and the sound settings are named.
    EXPECT_GE(found, 5u);
}

// This release's version, English, a usable logic rate, and every developer switch off.
TEST_F(Defaults, TheFileCarriesThisReleasesVersionAUsableLogicRateAndNoDeveloperSwitch)
{
    const Tarv::Any version = Value("version");
    const Tarv::Any language = Value("language");
    const Tarv::Any fps = Value("constants/logic_fps");
    ASSERT_TRUE(version.Holds<Tarv::NarrowString>() && language.Holds<Tarv::NarrowString>() && fps.Holds<int>());
    EXPECT_EQ(*version.Get<Tarv::NarrowString>(), "1.0.0");
    EXPECT_EQ(*language.Get<Tarv::NarrowString>(), "en");
    EXPECT_GT(*fps.Get<int>(), 0);
    for (const char* name : {"reduce_splash_time", "unlock_all_levels", "show_fps_mem", "enable_auto_test",
                             "disable_tutorial", "atlas_1024", "enable_cheats", "timeskew_active",
                             "infinite_lives", "disable_camera_limiter", "selection_indicator", "validate_levels"}) {
        const Tarv::Any value = Value(std::string("dev/") + name);
        ASSERT_TRUE(value.Holds<bool>()) << name;
        EXPECT_FALSE(*value.Get<bool>()) << name;
    }
}

TEST(SettingScan, FindsRelativeAndSettingsRootNamesOnly)
{
    const auto uses = ContentTest::FindSettingUses(
        R"(s->GetInt("constants/logic_fps"); r.SetBool("/quor/sfx_on", x); r.GetString("/application/version", v);
           ReadStoredInt("volume", v); GetText("IDS_X");)",
        "x.cpp");
    ASSERT_EQ(uses.size(), 3u);
    EXPECT_EQ(uses[0].name, "constants/logic_fps");
    EXPECT_EQ(uses[0].type, "Int");
    EXPECT_EQ(uses[1].name, "sfx_on");
    EXPECT_EQ(uses[1].type, "Bool");
    EXPECT_EQ(uses[2].name, "volume");
}

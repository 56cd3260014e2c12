// The console's command lines and their near misses, the registry, asset and text listings and
// registered commands, against a real registry, text dictionary and asset dictionary.
#include "console/DebugOverlay.h"

#include "engine/registry/Registry.h"
#include "engine/registry/TextDict.h"
#include "engine/vfs/Vfs.h"
#include "framework/AssetDict.h"
#include "graphics/render/Surface.h"
#include "platform/AbstractApp.h"
#include "tests/graphics/image/ImageFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

using namespace Tarv;
using Lines = std::vector<std::string>;

namespace
{

class QuitCounter : public AbstractApp
{
public:
    void Quit() override { ++quits; }
    int quits = 0;
};

class Commands : public testing::Test
{
protected:
    void SetUp() override
    {
        Registry::Instance = MakeSmart<Registry>();
        TextDict::Instance = MakeSmart<TextDict>();
        AbstractApp::TimeSkew.store(1.0f);
    }
    void TearDown() override
    {
        Registry::Instance.Reset();
        TextDict::Instance.Reset();
        AssetDict::Instance.Reset();
        AbstractApp::TimeSkew.store(1.0f);
    }

    // The lines a command printed.
    Lines Run(const std::string& line)
    {
        const std::size_t before = console.GetLines().size();
        console.ExecuteCommand(line);
        return Lines(console.GetLines().begin() + long(before), console.GetLines().end());
    }
    bool Listed(const Lines& expected)
    {
        const Lines listing = Run("reglist");
        return std::search(listing.begin(), listing.end(), expected.begin(), expected.end()) != listing.end();
    }

    DebugOverlay console;
};

struct LineCase
{
    const char* line;
    Lines printed;
};

void PrintTo(const LineCase& c, std::ostream* out)
{
    *out << testing::PrintToString(std::string(c.line));
}

// The line as a test name: letters and digits kept, other printable bytes as '_', the rest in hex.
std::string LineName(const testing::TestParamInfo<LineCase>& info)
{
    static const char HEX[] = "0123456789abcdef";
    std::string name;
    for (const unsigned char c : std::string(info.param.line)) {
        if (std::isalnum(c))
            name += char(c);
        else if (c >= 0x20 && c < 0x7f)
            name += '_';
        else
            name += {'x', HEX[c >> 4], HEX[c & 15]};
    }
    // A name of digits alone would read as the case's index.
    if (name.find_first_not_of("0123456789") == std::string::npos)
        name = "Code" + name;
    return name;
}

class CommandLines : public Commands, public testing::WithParamInterface<LineCase>
{
};

TEST_P(CommandLines, PrintTheirMessages)
{
    EXPECT_EQ(Run(GetParam().line), GetParam().printed);
}

const Lines UNKNOWN{"Unknown command"};

INSTANTIATE_TEST_SUITE_P(
    Grammar, CommandLines,
    testing::Values(LineCase{"help ", UNKNOWN}, LineCase{"9", UNKNOWN}, LineCase{"01", UNKNOWN},
                    LineCase{"timeskew", UNKNOWN}, LineCase{"regset", UNKNOWN}, LineCase{" 1", UNKNOWN},
                    LineCase{"Assets", UNKNOWN}, LineCase{"plot x", UNKNOWN}, LineCase{"\x01\xff\xc8", UNKNOWN},
                    LineCase{"4", {"Logging enabled"}}, LineCase{"logging", {"Logging enabled"}},
                    LineCase{"regset /a/b", {"Bad params"}}, LineCase{"regset /a/b ", {"Empty value"}},
                    LineCase{"regset a/b 1", {"Bad registry path"}}, LineCase{"regset  1", {"Bad registry path"}},
                    LineCase{"regset /machine/new/k 1", {"Bad registry path"}},
                    LineCase{"regset /machine/platform 1", {"Setting registry value failed"}},
                    LineCase{"regset /a/b 5", {}}, LineCase{"8", {}}, LineCase{"floppy", {}},
                    LineCase{"3", {}}, LineCase{"9 -1", {"Time skew must be between 0 and 16"}}),
    LineName);

TEST_F(Commands, TimeSkewTakesFactorsFromZeroToSixteenOnly)
{
    const std::pair<const char*, float> cases[] = {{"9 0.5", 0.5f}, {"timeskew 0.5", 0.5f}, {"9 ", 0.0f},
        {"timeskew x", 0.0f}, {"9  2e0x", 2.0f}, {"9 16", 16.0f}, {"9 -1", 3.0f}, {"9 inf", 3.0f},
        {"9 nan", 3.0f}, {"timeskew 1e9", 3.0f}};
    for (const auto& c : cases) {
        AbstractApp::TimeSkew.store(3.0f);
        EXPECT_EQ(Run(c.first).size(), c.second == 3.0f ? 1u : 0u) << c.first;
        EXPECT_EQ(AbstractApp::TimeSkew.load(), c.second) << c.first;
    }
}

TEST_F(Commands, RegsetStoresEachValueFormWithItsType)
{
    const std::pair<const char*, const char*> cases[] = {{"5", ": 5"}, {"true", ": true"}, {"false", ": false"},
        {"'two words'", ": two words"}, {"\"two words\"", ": two words"}, {"'", ": "}, {"'x\"", ": 0"},
        {"two words", ": 0"}, {" 7", ": 7"}, {"-12x", ": -12"}, {"99999999999", ": 2147483647"},
        {"-99999999999", ": -2147483648"}, {"True", ": 0"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Run(std::string("regset /a/b ") + c.first), Lines{}) << c.first;
        EXPECT_TRUE(Listed({"  [a]", std::string("    b") + c.second})) << c.first;
    }
}

TEST_F(Commands, RegistryListingPutsKeysBeforeChildrenAndSplitsLineFeeds)
{
    Run("regset /a/b 5"), Run("regset /a/b true");
    Registry::Instance->SetString("/a/c/s", "x\ny");
    Registry::Instance->FindKey("/a/unset", true);
    EXPECT_EQ(Run("2").front(), "[root]");
    EXPECT_TRUE(Listed({"  [a]", "    b: true", "    unset", "    [c]", "      s: x", "y"}));
}

TEST_F(Commands, CallbacksAreGroupedByPrefix)
{
    const Registry::Callback callback = [](void*, const NarrowString&, RegistryKey*) {};
    Registry::Instance->RegisterCallback("/b", callback, nullptr, "b.cpp", "One", 1);
    Registry::Instance->RegisterCallback("/a", callback, nullptr, "a.cpp", "Two", 2);
    Registry::Instance->RegisterCallback("/b", callback, this, "b.cpp", "Three", 3);
    EXPECT_EQ(Run("regcallbacks"),
              (Lines{"/a", "  a.cpp (Two: 2)", "/b", "  b.cpp (One: 1)", "  b.cpp (Three: 3)"}));
}

TEST_F(Commands, WithoutTheSingletonsEachListingSaysSo)
{
    Registry::Instance.Reset();
    TextDict::Instance.Reset();
    EXPECT_EQ(Run("reglist"), Lines{"Registry not available"});
    EXPECT_EQ(Run("regcallbacks"), Lines{"Registry not available"});
    EXPECT_EQ(Run("regset /a/b 1"), Lines{"Registry not available"});
    EXPECT_EQ(Run("texts"), Lines{"TextDict not available"});
    EXPECT_EQ(Run("assets"), Lines{"AssetDict not available"});
}

TEST_F(Commands, TextsAreListedInIdOrderAsUtf8)
{
    EXPECT_EQ(Run("5"), Lines{});
    std::ofstream(testing::TempDir() + "console-texts.xml") << "<texts><string id=\"b\">Gr\xc3\xbc\xc3\x9f" "e</string><string id=\"a\">x</string></texts>";
    VfsInit();
    VfsMountNative(testing::TempDir(), "", 0);
    ASSERT_TRUE(TextDict::Instance->Load("console-texts.xml"));
    VfsShutdown();
    EXPECT_EQ(Run("texts"), (Lines{"a -> x", "b -> Gr\xc3\xbc\xc3\x9f" "e"}));
}

TEST_F(Commands, AssetsAreTaggedHeldLiveOrGone)
{
    AssetDict::Instance = MakeSmart<AssetDict>();
    EXPECT_EQ(Run("1"), Lines{"Assets maintained by AssetDict:"});
    ImageFixtures::PngImage image;
    image.width = image.height = 2;
    image.colorType = 6;
    image.samples.assign(16, 200u);
    const ImageFixtures::Bytes png = ImageFixtures::WritePng(image);
    const std::string folder = testing::TempDir() + "console-assets";
    std::filesystem::create_directories(folder);
    for (const char* name : {"/a.png", "/b.png", "/c.png"})
        std::ofstream(folder + name, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), long(png.size()));
    VfsInit();
    VfsMountNative(folder + "/", "", 0);
    const SmartPtr<Surface> held = AssetDict::GetSurface("a.png", true);
    const SmartPtr<Surface> live = AssetDict::GetSurface("b.png", false);
    AssetDict::GetSurface("c.png", false);
    VfsShutdown();
    ASSERT_TRUE(held && live);
    EXPECT_EQ(Run("assets"), (Lines{"Assets maintained by AssetDict:", "C a.png", "* b.png", "  c.png"}));
}

TEST_F(Commands, PlotLinesShowAllUnlessAllAreShownAndToggleOne)
{
    Run("62"), Run("plot v"), Run("64"), Run("6");
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_NE(console.GetPlot(slot), nullptr);
    Run("plot");
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_EQ(console.GetPlot(slot), nullptr);
    Run("61");
    EXPECT_NE(console.GetPlot(0), nullptr);
    Run("plot f");
    EXPECT_EQ(console.GetPlot(0), nullptr);
}

TEST_F(Commands, ExitQuitsTheCurrentApplication)
{
    Run("exit");
    QuitCounter app;
    Run("7"), Run("exit");
    EXPECT_EQ(app.quits, 2);
}

TEST_F(Commands, RegisteredCommandsSplitAtTheLastBlank)
{
    static std::vector<std::string> calls;
    calls.clear();
    const auto record = [](void* user, const NarrowString& arguments) {
        calls.push_back(std::string(static_cast<const char*>(user)) + ":" + arguments);
    };
    static const char first[] = "first";
    static const char second[] = "second";
    console.RegisterCommand("go", record, const_cast<char*>(first), "");
    console.RegisterCommand("go", record, const_cast<char*>(second), "again");
    console.RegisterCommand("go far", record, const_cast<char*>(second), "far");
    EXPECT_EQ(Run("go"), Lines{});
    Run("go west"), Run("go far away");
    EXPECT_EQ(Run("go west now"), UNKNOWN);
    EXPECT_EQ(calls, (std::vector<std::string>{"first:", "first:west", "second:away"}));
    EXPECT_EQ(console.GetHelpLines().size(), 17u);
    EXPECT_EQ(console.GetHelpLines().back(), "go far: far");
    console.UnregisterCommand("go");
    EXPECT_EQ(Run("go"), UNKNOWN);
    EXPECT_EQ(console.GetHelpLines().size(), 17u);
}

} // namespace

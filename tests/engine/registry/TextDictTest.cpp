// Localised texts: loading, lookups of missing ids, failed loads, non-ASCII texts, variables.
#include "engine/registry/TextDict.h"

#include "engine/core/Xml.h"
#include "engine/vfs/Vfs.h"
#include "tests/engine/vfs/TestFiles.h"

#include <gtest/gtest.h>


using Tarv::NarrowString;
using Tarv::TextDict;
using Tarv::WideString;
using Tarv::Xml;

namespace
{

bool LoadText(TextDict& dict, const char* text)
{
    return dict.LoadDocument(Xml::CreateFromString(text));
}

} // namespace

// The first of two equal ids wins; a missing id gives the id and adds nothing.
TEST(TextDict, FirstOfTwoEqualIdsWinsAndMissingIdsGiveTheId)
{
    TextDict dict;
    ASSERT_TRUE(LoadText(dict, "<strings><string id=\"A\">first</string><string id=\"A\">second</string></strings>"));
    EXPECT_EQ(dict.GetText("A"), WideString(U"first"));
    EXPECT_EQ(dict.GetText("IDS_MISSING"), WideString(U"IDS_MISSING"));
    EXPECT_EQ(dict.GetCount(), 1u);
}

TEST(TextDict, OnlyDirectStringChildrenWithAnIdAreRead)
{
    TextDict dict;
    ASSERT_TRUE(LoadText(dict, "<s><group><string id=\"deep\">x</string></group><other id=\"o\">y</other>"
                               "<string>no id</string><string id=\"\">empty id</string>"
                               "<string id=\"ws\">\n  two\n  lines &amp; more\n</string><string id=\"e\"/></s>"));
    EXPECT_EQ(dict.GetText("deep"), WideString(U"deep"));
    EXPECT_EQ(dict.GetText("o"), WideString(U"o"));
    EXPECT_EQ(dict.GetText("ws"), WideString(U"\n  two\n  lines & more\n"));
    EXPECT_EQ(dict.GetText("e"), WideString());
    EXPECT_EQ(dict.GetText(""), WideString(U"empty id"));
    EXPECT_EQ(dict.GetCount(), 3u);
}

TEST(TextDict, NonAsciiTextsComeBackAsCodePoints)
{
    TextDict dict;
    ASSERT_TRUE(LoadText(dict, "<s><string id=\"fr\">Chargement\xE2\x80\xA6 \xC3\xA9t\xC3\xA9</string>"
                               "<string id=\"ja\">\xE8\xAA\xAD\xE3\x81\xBF\xE8\xBE\xBC\xE3\x81\xBF\xE4\xB8\xAD</string>"
                               "<string id=\"emoji\">\xF0\x9F\x8E\xAE&#x1F3C6;</string>"
                               "<string id=\"bad\">ok\xFF</string></s>"));
    EXPECT_EQ(dict.GetText("fr"), WideString(U"Chargement\u2026 \u00E9t\u00E9"));
    EXPECT_EQ(dict.GetText("ja"), WideString(U"\u8AAD\u307F\u8FBC\u307F\u4E2D"));
    EXPECT_EQ(dict.GetText("emoji"), WideString(U"\U0001F3AE\U0001F3C6"));
    EXPECT_EQ(dict.GetText("bad"), WideString());
}

TEST(TextDict, LoadingReplacesEveryEntry)
{
    TextDict dict;
    ASSERT_TRUE(LoadText(dict, "<s><string id=\"A\">a</string><string id=\"B\">b</string></s>"));
    ASSERT_TRUE(LoadText(dict, "<s><string id=\"B\">bee</string></s>"));
    EXPECT_EQ(dict.GetText("A"), WideString(U"A"));
    EXPECT_EQ(dict.GetText("B"), WideString(U"bee"));
    const TextDict::EntryMap entries = dict.GetEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries.begin()->first, "B");
}

TEST(TextDict, FailedLoadsKeepTheTextsAlreadyLoaded)
{
    TestFiles::TempDir dir;
    ASSERT_TRUE(TestFiles::WriteText(dir / "en.xml", "<s><string id=\"A\">a</string></s>"));
    ASSERT_TRUE(TestFiles::WriteText(dir / "broken.xml", "<s><string id=\"A\">b</string>"));
    ASSERT_TRUE(TestFiles::WriteText(dir / "empty.xml", ""));
    Tarv::VfsInit();
    Tarv::VfsMountNative(dir.Path() + "/", "l10n/", 0);
    TextDict dict;
    ASSERT_TRUE(dict.Load("l10n/en.xml"));
    EXPECT_FALSE(dict.Load("l10n/broken.xml"));
    EXPECT_FALSE(dict.Load("l10n/missing.xml"));
    EXPECT_FALSE(dict.Load("l10n/empty.xml"));
    EXPECT_EQ(dict.GetText("A"), WideString(U"a"));
    Tarv::VfsShutdown();
}

TEST(TextDict, ReplaceVariable)
{
    WideString text(U"$(n) and $(n), not $(m)");
    EXPECT_EQ(TextDict::ReplaceVariable(text, "n", U"x"), 2);
    EXPECT_EQ(text, WideString(U"x and x, not $(m)"));

    WideString looping(U"a$(n)b$(n)");
    EXPECT_EQ(TextDict::ReplaceVariable(looping, "n", U"<$(n)>"), 2);
    EXPECT_EQ(looping, WideString(U"a<$(n)>b<$(n)>"));

    WideString none(U"$(nn) $(N)");
    EXPECT_EQ(TextDict::ReplaceVariable(none, "n", U"x"), 0);
    EXPECT_EQ(none, WideString(U"$(nn) $(N)"));
}

// The registry file text, byte for byte: the XML escapes, every other byte as it stands, and no
// NUL byte, which would make the file unloadable.
#include "engine/registry/RegistryXmlWriter.h"

#include "engine/registry/Registry.h"

#include <gtest/gtest.h>

using Tarv::NarrowString;
using Tarv::Registry;
using Tarv::RegistryXmlWriter;

TEST(RegistryXmlWriter, GoldenFile)
{
    Registry registry;
    registry.SetInt("/quor/b", 3);
    registry.SetBool("/quor/a", true);
    registry.SetString("/quor/c/s", "x");
    EXPECT_EQ(registry.ToXml("/quor"),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
              "<registry>\n"
              "\t<node name=\"/quor\">\n"
              "\t\t<key name=\"a\" type=\"bool\">true</key>\n"
              "\t\t<key name=\"b\" type=\"int\">3</key>\n"
              "\t\t<node name=\"c\">\n"
              "\t\t\t<key name=\"s\" type=\"string\">x</key>\n"
              "\t\t</node>\n"
              "\t</node>\n"
              "</registry>\n");
}

TEST(RegistryXmlWriter, EmptyNodeAndNegativeNumbers)
{
    Registry registry;
    ASSERT_NE(registry.FindNode("/e", false, true), nullptr);
    EXPECT_EQ(registry.ToXml("/e"),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<registry>\n\t<node name=\"/e\">\n\t</node>\n</registry>\n");
    registry.SetInt("/n/k", -5);
    registry.SetInt("/n/m", -2147483647 - 1);
    EXPECT_NE(registry.ToXml("/n").find("<key name=\"k\" type=\"int\">-5</key>"), NarrowString::npos);
    EXPECT_NE(registry.ToXml("/n").find(">-2147483648<"), NarrowString::npos);
    EXPECT_EQ(registry.ToXml("/missing"), "");
}

TEST(RegistryXmlWriter, UnsetKeysAreLeftOut)
{
    Registry registry;
    registry.FindKey("/u/unset", true);
    registry.SetBool("/u/set", false);
    const NarrowString text = registry.ToXml("/u");
    EXPECT_EQ(text.find("unset"), NarrowString::npos);
    EXPECT_NE(text.find("<key name=\"set\" type=\"bool\">false</key>"), NarrowString::npos);
}

TEST(RegistryXmlWriter, MachineKeysAreWrittenWithTheirLiveValues)
{
    Registry registry;
    const NarrowString text = registry.ToXml("/machine");
    EXPECT_NE(text.find("<key name=\"platform\" type=\"string\">maemo</key>"), NarrowString::npos);
    EXPECT_NE(text.find("\t\t<node name=\"gl\">\n\t\t\t<key name=\"fbo\" type=\"bool\">false</key>"), NarrowString::npos);
}

TEST(RegistryXmlWriter, EscapesReservedCharactersAndWritesOtherBytesAsTheyAre)
{
    NarrowString text;
    RegistryXmlWriter::AppendText(text, "a<b&c>\"'\t\n\r\x01\x1F\x7F\xFF\xEE\x80\x80" "01");
    EXPECT_EQ(text, "a&lt;b&amp;c&gt;\"'\t\n&#13;\x01\x1F&#127;\xFF\xEE\x80\x80" "01");
    NarrowString attribute;
    RegistryXmlWriter::AppendAttribute(attribute, "a<b&c>\"'\t\n\r\x02");
    EXPECT_EQ(attribute, "a&lt;b&amp;c&gt;&quot;'&#9;&#10;&#13;\x02");
}

// Names and values with every byte from 1 to 0x1F, broken UTF-8, characters XML excludes and
// text that looks like an escape load back equal, and save again to the same text.
TEST(RegistryXmlWriter, EveryNameAndValueSavesAndLoadsBackEqual)
{
    NarrowString odd = "<&\"> \xC3\xA9 \xFF \xC3 \xEF\xBF\xBF \xED\xA0\x80 \xF0\x9F\x98\x80 "
                       "\xEE\x80\x80 \xEE\x80\x80" "0A &amp; &#65;";
    for (int byte = 1; byte < 0x20; ++byte)
        odd += static_cast<char>(byte);
    const NarrowString value = odd + "\x7F end";
    Registry saved;
    ASSERT_TRUE(saved.SetString("/s/" + odd, value));
    ASSERT_TRUE(saved.SetString("/s/" + odd + "x/k", "v"));
    const NarrowString file = saved.ToXml("/s");
    Registry loaded;
    ASSERT_TRUE(loaded.LoadString(file, false, ""));
    NarrowString read;
    EXPECT_TRUE(loaded.GetString("/s/" + odd, read));
    EXPECT_EQ(read, value);
    EXPECT_TRUE(loaded.GetString("/s/" + odd + "x/k", read));
    EXPECT_EQ(loaded.ToXml("/s"), file);
}

// No XML reader gives a NUL byte back, and one in the file makes the whole file fail to load:
// a value or name holding one is refused where it is set, so the settings around it still save
// and load.
TEST(RegistryXmlWriter, ANulByteIsRefusedSoTheFileStillLoads)
{
    const NarrowString nul("a\0b", 3);
    Registry saved;
    ASSERT_TRUE(saved.SetString("/s/name", "kept"));
    ASSERT_TRUE(saved.SetInt("/s/level", 7));
    EXPECT_FALSE(saved.SetString("/s/name", nul));
    EXPECT_FALSE(saved.SetString("/s/" + nul, "v"));
    EXPECT_FALSE(saved.SetInt("/s/" + nul + "/k", 1));
    EXPECT_EQ(saved.FindNode("/s/" + nul, false, true), nullptr);
    EXPECT_EQ(saved.FindKey("/s/" + nul, true), nullptr);
    NarrowString read;
    EXPECT_TRUE(saved.GetString("/s/name", read));
    EXPECT_EQ(read, "kept");

    Registry loaded;
    ASSERT_TRUE(loaded.LoadString(saved.ToXml("/s"), false, ""));
    int level = 0;
    EXPECT_TRUE(loaded.GetInt("/s/level", level));
    EXPECT_EQ(level, 7);
    EXPECT_TRUE(loaded.GetString("/s/name", read));
    EXPECT_EQ(read, "kept");
}

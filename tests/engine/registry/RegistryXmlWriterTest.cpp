// The registry file text, byte for byte, and the escapes that keep every value loadable.
#include "engine/registry/RegistryXmlWriter.h"

#include "engine/registry/Registry.h"

#include <expat.h>
#include <gtest/gtest.h>

using Tarv::NarrowString;
using Tarv::Registry;
using Tarv::RegistryXmlWriter;

namespace
{

// A parser that holds to XML 1.0, unlike the lenient one the engine reads with.
bool IsStrictXml(const NarrowString& text)
{
    XML_Parser parser = XML_ParserCreate(nullptr);
    const bool parsed = XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1) == XML_STATUS_OK;
    XML_ParserFree(parser);
    return parsed;
}

} // namespace

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

TEST(RegistryXmlWriter, EscapesReservedAndControlCharacters)
{
    NarrowString text;
    RegistryXmlWriter::AppendText(text, "a<b&c>\"'\t\n\r\x01\x7F");
    EXPECT_EQ(text, "a&lt;b&amp;c&gt;\"'\t\n&#13;\xEE\x80\x80" "01&#127;");
    NarrowString attribute;
    RegistryXmlWriter::AppendAttribute(attribute, "a<b&c>\"'\t\n\r");
    EXPECT_EQ(attribute, "a&lt;b&amp;c&gt;&quot;'&#9;&#10;&#13;");
}

// Names and values with every byte below 0x20, broken UTF-8, characters XML excludes, the
// escape character itself and escapes the writer never makes: the file is well-formed XML 1.0
// to a strict parser and loads back equal.
TEST(RegistryXmlWriter, EveryNameAndValueSavesAsXmlAndLoadsBackEqual)
{
    NarrowString odd = "<&\"> \xC3\xA9 \xFF \xC3 \xEF\xBF\xBF \xED\xA0\x80 \xF0\x9F\x98\x80 "
                       "\xEE\x80\x80 \xEE\x80\x80" "0A \xEE\x80\x80" "0a \xEE\x80\x80";
    for (int byte = 1; byte < 0x20; ++byte)
        odd += static_cast<char>(byte);
    NarrowString value = odd;
    value += '\0';
    value += "after nul";
    Registry saved;
    saved.SetString("/s/" + odd, value);
    saved.SetString("/s/" + odd + "x/k", "v");
    const NarrowString file = saved.ToXml("/s");
    EXPECT_TRUE(IsStrictXml(file)) << file;
    Registry loaded;
    ASSERT_TRUE(loaded.LoadString(file, false, ""));
    NarrowString read;
    EXPECT_TRUE(loaded.GetString("/s/" + odd, read));
    EXPECT_EQ(read, value);
    EXPECT_TRUE(loaded.GetString("/s/" + odd + "x/k", read));
    EXPECT_EQ(loaded.ToXml("/s"), file);
}

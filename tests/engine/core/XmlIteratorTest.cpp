// Walking elements and reading typed values from texts and attributes.
#include "engine/core/XmlIterator.h"

#include "engine/core/Uri.h"
#include "engine/core/Xml.h"

#include <gtest/gtest.h>

#include <vector>

using Tarv::NarrowString;
using Tarv::Xml;
using Tarv::XmlIterator;
using Tarv::XmlPtr;

namespace
{

std::vector<NarrowString> Visit(XmlIterator it)
{
    std::vector<NarrowString> names;
    for (; it.IsValid(); it.Next()) {
        NarrowString text;
        it.GetTextString(text);
        names.push_back(NarrowString(it.GetName()) + ":" + text);
    }
    return names;
}

// One element <v> holding text, the iterator at it; the document stays alive in m_document.
class XmlText : public testing::Test
{
protected:
    XmlIterator At(const char* text)
    {
        m_document = Xml::CreateFromString(NarrowString("<v>") + text + "</v>");
        return XmlIterator(m_document);
    }

    XmlIterator WithAttribute(const char* value)
    {
        m_document = Xml::CreateFromString(NarrowString("<v a=\"") + value + "\"/>");
        return XmlIterator(m_document);
    }

    XmlPtr m_document;
};

} // namespace

TEST(XmlIteratorWalk, NameFilterVisitsMatchingChildrenInOrder)
{
    XmlPtr document = Xml::CreateFromString("<r><string>1</string><other>2</other>text<string>3</string></r>");
    ASSERT_TRUE(document);
    XmlIterator root(document);
    EXPECT_EQ(Visit(XmlIterator(root, "string")), (std::vector<NarrowString>{"string:1", "string:3"}));
    EXPECT_EQ(Visit(XmlIterator(root, nullptr)),
              (std::vector<NarrowString>{"string:1", "other:2", "string:3"}));
    EXPECT_EQ(Visit(XmlIterator(root.GetElement(), "other")), (std::vector<NarrowString>{"other:2"}));
    EXPECT_FALSE(XmlIterator(root, "missing").IsValid());
}

TEST(XmlIteratorWalk, EndIsSticky)
{
    XmlPtr document = Xml::CreateFromString("<r><a/></r>");
    XmlIterator it(XmlIterator(document), "a");
    it.Next();
    EXPECT_FALSE(it.IsValid());
    it.Next();
    EXPECT_FALSE(it.IsValid());
    EXPECT_EQ(it.GetName(), nullptr);
    EXPECT_EQ(it.GetText(), nullptr);
}

TEST(XmlIteratorWalk, NullAndEmptyDocumentsAndEndedParentsGiveEndedIterators)
{
    EXPECT_FALSE(XmlIterator(XmlPtr()).IsValid());
    EXPECT_FALSE(XmlIterator(Xml::CreateFromString("")).IsValid());
    EXPECT_FALSE(XmlIterator(XmlIterator(), "a").IsValid());
    EXPECT_FALSE(XmlIterator(XmlIterator(), nullptr).IsValid());
}

TEST(XmlIteratorWalk, NestedElementsAreNotChildren)
{
    XmlPtr document = Xml::CreateFromString("<r><g><string/></g></r>");
    EXPECT_FALSE(XmlIterator(XmlIterator(document), "string").IsValid());
}

TEST(XmlIteratorWalk, ReadersAtTheEndFailAndLeaveOutputAlone)
{
    XmlIterator end;
    int i = 7;
    bool b = true;
    float f = 1.5f;
    NarrowString s = "keep";
    EXPECT_FALSE(end.GetTextInt(i));
    EXPECT_FALSE(end.GetTextBool(b));
    EXPECT_FALSE(end.GetTextFloat(f));
    EXPECT_FALSE(end.GetTextString(s));
    EXPECT_FALSE(end.GetAttributeString("a", s));
    EXPECT_FALSE(end.HasAttribute("a", true));
    EXPECT_EQ(end.GetAttribute("a"), nullptr);
    EXPECT_EQ(i, 7);
    EXPECT_TRUE(b);
    EXPECT_EQ(f, 1.5f);
    EXPECT_EQ(s, "keep");
}

// Int texts in scanf's forms; bool texts exactly "true" or "false". A failed read keeps the value.
TEST_F(XmlText, IntAndBoolTexts)
{
    const struct { const char* text; bool ok; int value; } ints[] = {
        {"0x1F", true, 31}, {"010", true, 8}, {" \n-12abc", true, -12},
        {"", false, 99}, {"abc", false, 99}, {"2147483648", false, 99}};
    for (const auto& c : ints) {
        int value = 99;
        EXPECT_EQ(At(c.text).GetTextInt(value), c.ok) << c.text;
        EXPECT_EQ(value, c.ok ? c.value : 99) << c.text;
    }
    const struct { const char* text; int value; } bools[] = {
        {"true", 1}, {"false", 0}, {"True", -1}, {"1", -1}, {" true", -1}};
    for (const auto& c : bools) {
        bool value = false;
        EXPECT_EQ(At(c.text).GetTextBool(value), c.value >= 0) << c.text;
        if (c.value >= 0) {
            EXPECT_EQ(value, c.value == 1) << c.text;
        }
    }
}

TEST_F(XmlText, FixedPointAndVector)
{
    float value = 0.0f;
    EXPECT_TRUE(At("7.25xyz").GetTextFloat(value));
    EXPECT_FLOAT_EQ(value, 7.25f);
    Tarv::TarvFloat wrapped = 0.0f;
    EXPECT_TRUE(At("-0.5").GetTextTarvFloat(wrapped));
    EXPECT_FLOAT_EQ(wrapped, -0.5f);
    EXPECT_FALSE(At(".5").GetTextFloat(value));

    float x = 0.0f, y = 0.0f, z = 0.0f;
    EXPECT_TRUE(At("1, 2 ,3").GetTextVector(x, y, z));
    EXPECT_EQ(x, 1.0f);
    EXPECT_EQ(y, 2.0f);
    EXPECT_EQ(z, 3.0f);
    EXPECT_FALSE(At("4,5").GetTextVector(x, y, z));
    EXPECT_EQ(x, 4.0f);
    EXPECT_EQ(y, 5.0f);
    EXPECT_EQ(z, 3.0f);
}

TEST_F(XmlText, AttributeBoolTable)
{
    const struct { const char* text; const char* name; int value; } cases[] = {
        {"1", "a", 1}, {"no", "a", 0}, {"yes", "a", 1}, {"true", "a", 1},
        {"Yes", "a", -1}, {"2", "a", -1}, {"1", "b", -1}};
    for (const auto& c : cases) {
        bool value = c.value != 1;
        EXPECT_EQ(WithAttribute(c.text).GetAttributeBool(c.name, value), c.value >= 0) << c.text;
        if (c.value >= 0) {
            EXPECT_EQ(value, c.value == 1) << c.text;
        }
    }
}

TEST_F(XmlText, HasAttributeAndEmptyValues)
{
    EXPECT_FALSE(WithAttribute("").HasAttribute("a", false));
    EXPECT_TRUE(WithAttribute("").HasAttribute("a", true));
    EXPECT_TRUE(WithAttribute("x").HasAttribute("a", false));
    EXPECT_FALSE(WithAttribute("x").HasAttribute("b", true));
}

TEST_F(XmlText, AttributeNumbersAreRangeChecked)
{
    unsigned u = 5;
    short s = 5;
    unsigned short us = 5;
    int i = 5;
    EXPECT_TRUE(WithAttribute("0x10").GetAttributeInt("a", i));
    EXPECT_EQ(i, 16);
    EXPECT_TRUE(WithAttribute("4294967295").GetAttributeUInt("a", u));
    EXPECT_EQ(u, 4294967295u);
    EXPECT_FALSE(WithAttribute("4294967296").GetAttributeUInt("a", u));
    EXPECT_FALSE(WithAttribute("-1").GetAttributeUInt("a", u));
    EXPECT_TRUE(WithAttribute("-32768").GetAttributeShort("a", s));
    EXPECT_EQ(s, -32768);
    EXPECT_FALSE(WithAttribute("32768").GetAttributeShort("a", s));
    EXPECT_TRUE(WithAttribute("65535").GetAttributeUShort("a", us));
    EXPECT_EQ(us, 65535);
    EXPECT_FALSE(WithAttribute("65536").GetAttributeUShort("a", us));
    EXPECT_EQ(u, 4294967295u);
    EXPECT_EQ(s, -32768);
    EXPECT_EQ(us, 65535);
}

TEST_F(XmlText, UrisAreParsedIntoTheirParts)
{
    Tarv::Uri uri;
    EXPECT_TRUE(At("http://user@host:80/p/q?x=1#f").GetTextUri(uri));
    EXPECT_EQ(uri.host, "host");
    EXPECT_EQ(uri.path, "/p/q");
    EXPECT_TRUE(WithAttribute("file:/a/b.png").GetAttributeUri("a", uri));
    EXPECT_EQ(uri.scheme, "file");
    EXPECT_EQ(uri.path, "/a/b.png");
    EXPECT_FALSE(WithAttribute("no scheme").GetAttributeUri("a", uri));
    EXPECT_FALSE(WithAttribute("x").GetAttributeUri("missing", uri));
    EXPECT_EQ(uri.path, "/a/b.png");
}

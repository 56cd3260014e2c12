// Parsing documents: what parses, what fails, and how text and attributes come out.
#include "engine/core/Xml.h"

#include "engine/core/WideString.h"
#include "engine/core/XmlIterator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <memory>

using Tarv::NarrowString;
using Tarv::Xml;
using Tarv::XmlIterator;
using Tarv::XmlPtr;

namespace
{

NarrowString RootText(const char* text)
{
    XmlPtr document = Xml::CreateFromString(text);
    NarrowString out = "<unread>";
    if (document)
        XmlIterator(document).GetTextString(out);
    return out;
}

} // namespace

TEST(XmlParse, EmptyTextIsADocumentWithoutRoot)
{
    XmlPtr document = Xml::CreateFromString("");
    ASSERT_TRUE(document);
    EXPECT_FALSE(document->GetRoot());
    EXPECT_FALSE(XmlIterator(document).IsValid());
}

TEST(XmlParse, MalformedTextsGiveNoDocument)
{
    for (const char* text : {"<a>", "<a><b></a>", "<a></b>", "   \n\t ", "<a/><b/>", "<a>x</a><a/>", "<",
                             "<a x=\"1></a>", "plain text", "<?xml version=\"1.0\"?>", "<a x=1/>", "<!-- only -->"})
        EXPECT_FALSE(Xml::CreateFromString(text)) << text;
}

TEST(XmlParse, DeclarationCommentsAndTrailingSpaceAreAccepted)
{
    XmlPtr document = Xml::CreateFromString("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- c -->\n<r>x</r>\n\n");
    ASSERT_TRUE(document);
    EXPECT_STREQ(XmlIterator(document).GetName(), "r");
}

// Text is joined across child elements with white space kept; entities decoded, unknown ones kept.
TEST(XmlParse, TextsComeOutJoinedAndDecoded)
{
    const struct { const char* document; const char* text; } cases[] = {
        {"<r>a<b>inner</b>c</r>", "ac"}, {"<r>  <b/>x</r>", "  x"}, {"<r> a <!-- c --> b </r>", " a  b "},
        {"<r>a<![CDATA[<&>]]>b</r>", "a<&>b"}, {"<r/>", ""}, {"<r>\r\nx\ry</r>", "\nx\ny"},
        {"<r>&lt;&amp;&gt;&quot;&apos;</r>", "<&>\"'"}, {"<r>&#65;&#x42;&#xe9;</r>", "AB\xC3\xA9"},
        {"<r>a&nbsp;b</r>", "a&nbsp;b"}};
    for (const auto& c : cases)
        EXPECT_EQ(RootText(c.document), c.text) << c.document;
}

TEST(XmlParse, JoinedTextOfNestedElementsStaysSeparate)
{
    XmlPtr document = Xml::CreateFromString("<r>1<a>2<b>3</b>4</a>5</r>");
    ASSERT_TRUE(document);
    XmlIterator root(document);
    XmlIterator a(root, "a");
    XmlIterator b(a, "b");
    EXPECT_STREQ(root.GetText(), "15");
    EXPECT_STREQ(a.GetText(), "24");
    EXPECT_STREQ(b.GetText(), "3");
}

TEST(XmlParse, AttributeWhiteSpaceBecomesSpaces)
{
    XmlPtr document = Xml::CreateFromString("<r v=\"x\ty\nz &amp; &#10;\"/>");
    ASSERT_TRUE(document);
    EXPECT_STREQ(XmlIterator(document).GetAttribute("v"), "x y z & \n");
}

// Texts point into the document's own buffer, which is read only to its size (no terminator):
// the element closes exactly at its end. A null buffer with a size fails.
TEST(XmlParse, TextPointsIntoTheDocumentsOwnBufferReadToItsSize)
{
    const char text[] = "<r a=\"v\">hello</r>";
    const std::size_t size = sizeof text - 1;
    std::unique_ptr<char[]> buffer(new char[size]);
    std::memcpy(buffer.get(), text, size);
    const char* begin = buffer.get();
    XmlPtr document = Xml::Create(std::move(buffer), size);
    ASSERT_TRUE(document);
    XmlIterator root(document);
    EXPECT_STREQ(root.GetText(), "hello");
    EXPECT_TRUE(root.GetText() >= begin && root.GetText() < begin + size);
    EXPECT_TRUE(root.GetAttribute("a") >= begin && root.GetAttribute("a") < begin + size);
    EXPECT_FALSE(Xml::Create(nullptr, 4));
    EXPECT_TRUE(Xml::Create(nullptr, 0));
}

TEST(XmlParse, DeepNestingParsesWithoutExhaustingTheStack)
{
    NarrowString text;
    const int depth = 100000;
    for (int i = 0; i < depth; ++i)
        text += "<a>t";
    for (int i = 0; i < depth; ++i)
        text += "u</a>";
    XmlPtr document = Xml::CreateFromString(text);
    ASSERT_TRUE(document);
    EXPECT_STREQ(XmlIterator(document).GetText(), "tu");
}

// Any number of attributes parses; each is found by name.
TEST(XmlParse, AnElementWithManyAttributesParses)
{
    NarrowString attributes;
    for (int i = 0; i < 1000; ++i)
        attributes += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    XmlPtr document = Xml::CreateFromString("<r><c/><c" + attributes + "/></r>");
    ASSERT_TRUE(document);
    XmlIterator element(XmlIterator(document), "c");
    element.Next();
    int value = 0;
    EXPECT_TRUE(element.GetAttributeInt("a999", value));
    EXPECT_EQ(value, 999);
}

TEST(XmlSource, NonAsciiTextsComeBackAsCodePoints)
{
    XmlPtr document = Xml::CreateFromString("<r a=\"\xC3\xA9\">caf\xC3\xA9 \xE6\xBC\xA2 \xF0\x9F\x98\x80 &#x1F600;</r>");
    ASSERT_TRUE(document);
    Tarv::WideString text;
    ASSERT_TRUE(XmlIterator(document).GetTextWide(text));
    EXPECT_EQ(text, Tarv::WideString(U"caf\u00E9 \u6F22 \U0001F600 \U0001F600"));
    ASSERT_TRUE(XmlIterator(document).GetAttributeWide("a", text));
    EXPECT_EQ(text, Tarv::WideString(U"\u00E9"));

    XmlPtr broken = Xml::CreateFromString("<r>\xC3(</r>");
    ASSERT_TRUE(broken);
    ASSERT_TRUE(XmlIterator(broken).GetTextWide(text));
    EXPECT_TRUE(text.empty());
}

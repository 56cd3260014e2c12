// Parsing and ownership of XML documents over pugixml, shaped to the engine's reading rules.
#include "engine/core/Xml.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace Tarv
{

namespace
{

// The parser's own defaults already decode entities, normalise line ends and turn attribute
// white space into spaces; white-space-only text is kept so an element's text is complete.
constexpr unsigned PARSE_OPTIONS = pugi::parse_default | pugi::parse_ws_pcdata;

bool IsText(const pugi::xml_node& node)
{
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

// Joins the direct character data of one element into its first text node, so reading the
// text is one pointer; "a<b/>c" reads "ac". Only text nodes go away; elements stay.
void JoinText(pugi::xml_node element)
{
    pugi::xml_node first;
    std::vector<pugi::xml_node> rest;
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
        if (!IsText(child))
            continue;
        if (first)
            rest.push_back(child);
        else
            first = child;
    }
    if (rest.empty())
        return;
    std::string joined = first.value();
    for (const pugi::xml_node& node : rest)
        joined += node.value();
    first.set_value(joined.c_str());
    for (const pugi::xml_node& node : rest)
        element.remove_child(node);
}

// Visits every element below and including root in document order, without recursion, so
// deep nesting in a hostile file cannot exhaust the stack.
void JoinAllTexts(pugi::xml_node root)
{
    pugi::xml_node node = root;
    while (node) {
        if (node.type() == pugi::node_element)
            JoinText(node);
        pugi::xml_node next = node.first_child();
        while (!next && node && node != root) {
            next = node.next_sibling();
            if (!next)
                node = node.parent();
        }
        node = next;
    }
}

} // namespace

Xml::~Xml() = default;

bool Xml::Parse(std::size_t size)
{
    const pugi::xml_parse_result result =
        m_document.load_buffer_inplace(m_buffer.get(), size, PARSE_OPTIONS, pugi::encoding_utf8);
    if (!result)
        return false;

    // A document has exactly one top-level element; anything after it is an error.
    int elements = 0;
    for (pugi::xml_node child = m_document.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element)
            continue;
        if (++elements == 1)
            m_root = child;
    }
    if (elements != 1)
        return false;
    JoinAllTexts(m_root);
    return true;
}

XmlPtr Xml::Create(std::unique_ptr<char[]> buffer, std::size_t size)
{
    if (buffer == nullptr && size != 0)
        return XmlPtr();
    XmlPtr document(new Xml());
    document->m_buffer = std::move(buffer);
    if (size == 0)
        return document;
    if (!document->Parse(size))
        return XmlPtr();
    return document;
}

XmlPtr Xml::CreateFromString(const NarrowString& text)
{
    if (text.empty())
        return XmlPtr(new Xml());
    std::unique_ptr<char[]> buffer(new char[text.size()]);
    std::memcpy(buffer.get(), text.data(), text.size());
    return Create(std::move(buffer), text.size());
}

} // namespace Tarv

// Element walking and the typed readers of Tarv::XmlIterator.
#include "engine/core/XmlIterator.h"

#include "engine/core/TextNumber.h"
#include "engine/core/Uri.h"
#include "engine/core/WideString.h"
#include "engine/core/Xml.h"

#include <cstring>

namespace Tarv
{

namespace
{

bool Passes(const pugi::xml_node& node, const char* name)
{
    return node.type() == pugi::node_element && (name == nullptr || std::strcmp(node.name(), name) == 0);
}

pugi::xml_node FirstFrom(pugi::xml_node node, const char* name)
{
    while (node && !Passes(node, name))
        node = node.next_sibling();
    return node;
}

bool ReadBool(const char* text, bool& out)
{
    if (text == nullptr)
        return false;
    if (std::strcmp(text, "true") == 0) {
        out = true;
        return true;
    }
    if (std::strcmp(text, "false") == 0) {
        out = false;
        return true;
    }
    return false;
}

bool ReadAttributeBool(const char* text, bool& out)
{
    struct Entry
    {
        const char* text;
        bool value;
    };
    static const Entry TABLE[] = {{"yes", true}, {"no", false}, {"1", true},
                                  {"0", false},  {"true", true}, {"false", false}};
    if (text == nullptr)
        return false;
    for (const Entry& entry : TABLE) {
        if (std::strcmp(text, entry.text) == 0) {
            out = entry.value;
            return true;
        }
    }
    return false;
}

bool ReadUri(const char* text, Uri& out)
{
    if (text == nullptr)
        return false;
    Uri parsed;
    if (!parsed.Parse(NarrowString(text)))
        return false;
    out = parsed;
    return true;
}

bool CopyText(const char* text, NarrowString& out)
{
    if (text == nullptr)
        return false;
    out = text;
    return true;
}

} // namespace

XmlIterator::XmlIterator(pugi::xml_node element) : m_element(element) {}

XmlIterator::XmlIterator(const XmlPtr& document)
{
    if (document)
        m_element = document->GetRoot();
}

XmlIterator::XmlIterator(pugi::xml_node parent, const char* name) : m_name(name)
{
    if (parent)
        m_element = FirstFrom(parent.first_child(), name);
}

XmlIterator::XmlIterator(const XmlIterator& parent, const char* name)
    : XmlIterator(parent.m_element, name)
{
}

void XmlIterator::Next()
{
    if (m_element)
        m_element = FirstFrom(m_element.next_sibling(), m_name);
}

const char* XmlIterator::GetName() const
{
    return m_element ? m_element.name() : nullptr;
}

const char* XmlIterator::GetText() const
{
    // The document joined each element's text into its first text node when it was parsed.
    return m_element ? m_element.child_value() : nullptr;
}

bool XmlIterator::GetTextString(NarrowString& out) const
{
    return CopyText(GetText(), out);
}

bool XmlIterator::GetTextWide(WideString& out) const
{
    const char* text = GetText();
    if (text == nullptr)
        return false;
    out = WideString(NarrowString(text));
    return true;
}

bool XmlIterator::GetTextInt(int& out) const
{
    return ReadTextInt(GetText(), out);
}

bool XmlIterator::GetTextFloat(float& out) const
{
    return ReadTextFixedFloat(GetText(), out);
}

bool XmlIterator::GetTextTarvFloat(TarvFloat& out) const
{
    return ReadTextFixedFloat(GetText(), out);
}

bool XmlIterator::GetTextBool(bool& out) const
{
    return ReadBool(GetText(), out);
}

bool XmlIterator::GetTextVector(float& x, float& y, float& z) const
{
    return ReadTextVector(GetText(), x, y, z);
}

bool XmlIterator::GetTextUri(Uri& out) const
{
    return ReadUri(GetText(), out);
}

const char* XmlIterator::GetAttribute(const char* name) const
{
    if (!m_element || name == nullptr)
        return nullptr;
    const pugi::xml_attribute attribute = m_element.attribute(name);
    return attribute ? attribute.value() : nullptr;
}

bool XmlIterator::HasAttribute(const char* name, bool acceptEmpty) const
{
    const char* value = GetAttribute(name);
    if (value == nullptr)
        return false;
    return *value != '\0' || acceptEmpty;
}

bool XmlIterator::GetAttributeString(const char* name, NarrowString& out) const
{
    return CopyText(GetAttribute(name), out);
}

bool XmlIterator::GetAttributeWide(const char* name, WideString& out) const
{
    const char* value = GetAttribute(name);
    if (value == nullptr)
        return false;
    out = WideString(NarrowString(value));
    return true;
}

bool XmlIterator::GetAttributeInt(const char* name, int& out) const
{
    return ReadTextInt(GetAttribute(name), out);
}

bool XmlIterator::GetAttributeUInt(const char* name, unsigned& out) const
{
    return ReadTextUInt(GetAttribute(name), out);
}

bool XmlIterator::GetAttributeShort(const char* name, short& out) const
{
    return ReadTextShort(GetAttribute(name), out);
}

bool XmlIterator::GetAttributeUShort(const char* name, unsigned short& out) const
{
    return ReadTextUShort(GetAttribute(name), out);
}

bool XmlIterator::GetAttributeFloat(const char* name, float& out) const
{
    return ReadTextFixedFloat(GetAttribute(name), out);
}

bool XmlIterator::GetAttributeTarvFloat(const char* name, TarvFloat& out) const
{
    return ReadTextFixedFloat(GetAttribute(name), out);
}

bool XmlIterator::GetAttributeBool(const char* name, bool& out) const
{
    return ReadAttributeBool(GetAttribute(name), out);
}

bool XmlIterator::GetAttributeUri(const char* name, Uri& out) const
{
    return ReadUri(GetAttribute(name), out);
}

} // namespace Tarv

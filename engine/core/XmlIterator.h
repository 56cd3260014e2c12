// Tarv::XmlIterator: walks the elements of a Tarv::Xml document and reads typed values from
// their text and attributes, with one rule: a failed read returns false and leaves out alone.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/TarvFloat.h"

#include <pugixml.hpp>

namespace Tarv
{

class Uri;
class WideString;
class XmlPtr;

// Two words: a name filter and the current element. The iterator keeps no reference to its
// document, so the document must outlive it; the filter is borrowed too, so pass a string
// literal or a string that outlives the iterator, never a temporary's c_str().
class XmlIterator
{
public:
    // At its end.
    XmlIterator() = default;
    // At element (normally a document's root); no filter.
    explicit XmlIterator(pugi::xml_node element);
    // At the document's root; at its end for a null pointer or a document without root.
    explicit XmlIterator(const XmlPtr& document);
    // At parent's first child element named name (any name when name is null); at its end when
    // there is none. Next then moves among the children with that name.
    XmlIterator(pugi::xml_node parent, const char* name);
    XmlIterator(const XmlIterator& parent, const char* name);
    XmlIterator(const XmlIterator& other) = default;
    XmlIterator& operator=(const XmlIterator& other) = default;

    // To the next sibling element that passes the filter; at the end it stays there.
    void Next();
    bool IsValid() const { return static_cast<bool>(m_element); }
    // The current element's tag name; null at the end.
    const char* GetName() const;
    pugi::xml_node GetElement() const { return m_element; }

    // Text readers. GetText points into the document (null at the end); an element without
    // text reads as "".
    const char* GetText() const;
    bool GetTextString(NarrowString& out) const;
    // Decoded from UTF-8; text that isn't valid UTF-8 gives an empty wide text.
    bool GetTextWide(WideString& out) const;
    bool GetTextInt(int& out) const;
    bool GetTextFloat(float& out) const;
    bool GetTextTarvFloat(TarvFloat& out) const;
    // Exactly "true" or "false".
    bool GetTextBool(bool& out) const;
    bool GetTextVector(float& x, float& y, float& z) const;
    // Parsed into the URI's parts; false (out untouched) when the text isn't a URI.
    bool GetTextUri(Uri& out) const;

    // Attribute readers. GetAttribute points into the document; null when the attribute is
    // absent or the iterator at its end.
    const char* GetAttribute(const char* name) const;
    // Present and non-empty; a present empty value gives acceptEmpty.
    bool HasAttribute(const char* name, bool acceptEmpty) const;
    bool GetAttributeString(const char* name, NarrowString& out) const;
    bool GetAttributeWide(const char* name, WideString& out) const;
    bool GetAttributeInt(const char* name, int& out) const;
    bool GetAttributeUInt(const char* name, unsigned& out) const;
    bool GetAttributeShort(const char* name, short& out) const;
    bool GetAttributeUShort(const char* name, unsigned short& out) const;
    bool GetAttributeFloat(const char* name, float& out) const;
    bool GetAttributeTarvFloat(const char* name, TarvFloat& out) const;
    // "yes"/"no", "1"/"0", "true"/"false", exactly as written.
    bool GetAttributeBool(const char* name, bool& out) const;
    bool GetAttributeUri(const char* name, Uri& out) const;

private:
    const char* m_name = nullptr;
    pugi::xml_node m_element;
};

} // namespace Tarv

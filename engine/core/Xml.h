// Tarv::Xml: one parsed, read-only XML document that owns the text it was parsed from, and
// Tarv::XmlPtr, the counted pointer to one. Reading is done through Tarv::XmlIterator.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"

#include <pugixml.hpp>

#include <cstddef>
#include <memory>

namespace Tarv
{

class IOStream;
class XmlPtr;

// The document keeps the parser's behaviour the engine's formats rely on: an element's text is
// all its direct character data joined (across child elements), entities are decoded (unknown
// ones stay as written), CR LF becomes LF, white space in attribute values becomes spaces, and
// names, texts and values point into the document's own buffer, parsed in place.
// A document is never changed after creation; one thread at a time may read it.
class Xml : public RefCounter
{
public:
    ~Xml() override;

    // Each returns a new document, or null when the text doesn't parse. An empty text gives a
    // document without root element. Malformed markup, a text of only white space, and more
    // than one top-level element all fail.
    static XmlPtr CreateFromString(const NarrowString& text);
    // Parses buffer in place and takes it over whatever the outcome.
    static XmlPtr Create(std::unique_ptr<char[]> buffer, std::size_t size);
    // Reads the stream to its end in 1024-byte reads (stopping at the first read below 1
    // byte), then parses the text as CreateFromString does.
    static XmlPtr CreateFromStream(IOStream& stream);
    // Opens path through the virtual file system; null when it can't be opened or parsed.
    static XmlPtr CreateFromFile(const NarrowString& path);
    // Both readers need the file system, which sits above this layer: they are defined with it
    // (engine/vfs/XmlFile.cpp), and code that calls them includes engine/vfs/XmlFile.h.

    // The document's element, or an empty handle for a document made from an empty text.
    pugi::xml_node GetRoot() const { return m_root; }

private:
    Xml() = default;
    bool Parse(std::size_t size);

    pugi::xml_document m_document;
    pugi::xml_node m_root;
    std::unique_ptr<char[]> m_buffer;
};

// A counted document pointer.
class XmlPtr : public SmartPtr<Xml>
{
public:
    using SmartPtr<Xml>::SmartPtr;
    XmlPtr() = default;
    XmlPtr(const SmartPtr<Xml>& other) : SmartPtr<Xml>(other) {}
    // The document at path (Xml::CreateFromFile), or null; defined with the file system.
    explicit XmlPtr(const NarrowString& path);
};

} // namespace Tarv

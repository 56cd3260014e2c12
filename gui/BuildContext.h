// What the tree builder hands to the item factories: the screen's cache of representation
// documents (layer trees) and the override table of the representation being built (graphic
// trees).
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/Xml.h"
#include "engine/core/XmlIterator.h"

#include <map>

namespace Plim
{

// A representation's override elements by their "name"; keys compare as byte strings.
using OverrideTable = std::map<Tarv::NarrowString, Tarv::XmlIterator>;

// Representation documents by file name, each parsed once while one layout is read (a file
// that fails is remembered as null, so it is reported once). Lives only while the layout is
// read: no cursor into its documents survives that.
class DocumentCache
{
public:
    // The parsed document of the file; null, reported the first time, when it is missing or
    // not well-formed.
    Tarv::XmlPtr Get(const Tarv::NarrowString& path);
    // How many files were parsed (or tried) through this cache.
    int GetParseCount() const { return m_parseCount; }

private:
    std::map<Tarv::NarrowString, Tarv::XmlPtr> m_documents;
    int m_parseCount = 0;
};

struct BuildContext {
    DocumentCache* documents;     // null inside representation trees
    const OverrideTable* overrides; // null in layer trees
};

} // namespace Plim

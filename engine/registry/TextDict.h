// Tarv::TextDict: the dictionary of localised texts, from text ids such as "IDS_LOADING" to the
// wide texts shown on screen, loaded from a language file under "l10n/".
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/WeakRefCounter.h"
#include "engine/core/WideString.h"

#include <map>

namespace Tarv
{

class XmlPtr;

// No lock: lookups may run on several threads at once (the main and the loader thread), but a
// Load must not run while any other thread looks a text up.
class TextDict : public RefCounter, public WeakRefCounter
{
public:
    using EntryMap = std::map<NarrowString, WideString>;

    // The engine-wide dictionary; the application sets and clears it.
    static SmartPtr<TextDict> Instance;

    TextDict() = default;
    ~TextDict() override;

    // Replaces every entry by the "string" children of the file's root element (id attribute,
    // text content; the first of two equal ids wins; elements without id are skipped). When
    // the file is missing, doesn't parse or has no root element, the entries already loaded
    // stay and the result is false.
    bool Load(const NarrowString& path);
    // The same from a parsed document.
    bool LoadDocument(const XmlPtr& document);

    // The text for id; the id itself as wide text when it is absent (never adds an entry).
    WideString GetText(const NarrowString& id) const;
    // A copy of all entries in id order, for listings.
    EntryMap GetEntries() const;
    std::size_t GetCount() const;

    // Replaces each "$(" name ")" in text by value, scanning on behind each inserted value,
    // and returns how many were replaced.
    static int ReplaceVariable(WideString& text, const NarrowString& name, const WideString& value);

private:
    EntryMap m_entries;
};

} // namespace Tarv

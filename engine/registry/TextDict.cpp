// Loading and looking up localised texts.
#include "engine/registry/TextDict.h"

#include "engine/core/Xml.h"
#include "engine/core/XmlIterator.h"
#include "engine/vfs/XmlFile.h"

#include <utility>

namespace Tarv
{

SmartPtr<TextDict> TextDict::Instance;

TextDict::~TextDict() = default;

bool TextDict::Load(const NarrowString& path)
{
    return LoadDocument(Xml::CreateFromFile(path));
}

bool TextDict::LoadDocument(const XmlPtr& document)
{
    const XmlIterator root(document);
    if (!root.IsValid())
        return false;
    EntryMap entries;
    for (XmlIterator text(root, "string"); text.IsValid(); text.Next()) {
        const char* id = text.GetAttribute("id");
        if (id == nullptr)
            continue;
        WideString wide;
        text.GetTextWide(wide);
        // emplace keeps the first text of an id that occurs twice.
        entries.emplace(NarrowString(id), std::move(wide));
    }
    m_entries.swap(entries);
    return true;
}

WideString TextDict::GetText(const NarrowString& id) const
{
    const auto found = m_entries.find(id);
    if (found != m_entries.end())
        return found->second;
    return WideString(id);
}

TextDict::EntryMap TextDict::GetEntries() const
{
    return m_entries;
}

std::size_t TextDict::GetCount() const
{
    return m_entries.size();
}

int TextDict::ReplaceVariable(WideString& text, const NarrowString& name, const WideString& value)
{
    const WideString pattern(NarrowString("$(" + name + ")"));
    if (pattern.empty())
        return 0;
    int count = 0;
    std::size_t at = text.find(pattern);
    while (at != WideString::npos) {
        text.replace(at, pattern.size(), value);
        ++count;
        at = text.find(pattern, at + value.size());
    }
    return count;
}

} // namespace Tarv

// The per-layout cache of representation documents.
#include "gui/BuildContext.h"

#include "engine/vfs/XmlFile.h"
#include "gui/Messages.h"

namespace Plim
{

Tarv::XmlPtr DocumentCache::Get(const Tarv::NarrowString& path)
{
    const auto found = m_documents.find(path);
    if (found != m_documents.end())
        return found->second;
    ++m_parseCount;
    const Tarv::XmlPtr document = Tarv::Xml::CreateFromFile(path);
    if (!document)
        Report("representation file \"" + path + "\" is missing or not well-formed XML");
    m_documents.emplace(path, document);
    return document;
}

} // namespace Plim

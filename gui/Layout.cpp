// Reading a screen's layers, and drawing, hit-testing and dumping them in order.
#include "gui/Layout.h"

#include "engine/core/XmlIterator.h"
#include "engine/vfs/XmlFile.h"
#include "gui/Messages.h"

namespace Plim
{

bool Layout::Load(const Tarv::NarrowString& path)
{
    const Tarv::XmlPtr document = Tarv::Xml::CreateFromFile(path);
    if (!document) {
        m_layers.clear();
        m_parseCount = 0;
        Report("layout \"" + path + "\" is missing or not well-formed XML");
        return false;
    }
    return Load(document);
}

bool Layout::Load(const Tarv::XmlPtr& document)
{
    m_layers.clear();
    m_parseCount = 0;
    const Tarv::XmlIterator root(document);
    if (!root.IsValid())
        return false;
    DocumentCache documents;
    for (Tarv::XmlIterator layer(root, "layer"); layer.IsValid(); layer.Next())
        m_layers.push_back(Tarv::MakeSmart<Layer>(layer, &documents));
    m_parseCount = documents.GetParseCount();
    return true;
}

void Layout::Draw(Tarv::Surface& target)
{
    for (const auto& layer : m_layers)
        layer->Draw(target);
}

Control* Layout::FindTouchableControl(int x, int y) const
{
    Control* hit = nullptr;
    for (const auto& layer : m_layers) {
        Control* found = layer->FindTouchableControl(x, y);
        if (found != nullptr)
            hit = found;
    }
    return hit;
}

void Layout::Dump(const PrintFunction& print) const
{
    if (!print)
        return;
    print("PLIM menu state dump");
    for (const auto& layer : m_layers) {
        print("\x01\xFF\x01\xFF" "--Layer--");
        layer->Dump(print);
    }
}

void Layout::Dump() const
{
    Dump(PrintToConsole);
}

} // namespace Plim

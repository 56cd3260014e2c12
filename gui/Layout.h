// Plim::Layout: the layers of one screen read from its layout file, with the representation
// files they name parsed once each for the whole read.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/Xml.h"
#include "gui/Layer.h"

#include <vector>

namespace Plim
{

class Layout
{
public:
    // Reads one layer per "layer" child of the root, in document order, replacing what was
    // read before. False, reported, and no layers when the file is missing or not XML.
    bool Load(const Tarv::NarrowString& path);
    bool Load(const Tarv::XmlPtr& document);

    // Each layer in list order.
    void Draw(Tarv::Surface& target);
    // Over all layers in list order, the last hit wins; null when nothing is hit.
    Control* FindTouchableControl(int x, int y) const;
    // A heading line, then per layer a separator line and the layer's dump.
    void Dump(const PrintFunction& print) const;
    // The same lines, printed to the developer console (Plim::PrintToConsole).
    void Dump() const;

    const std::vector<Tarv::SmartPtr<Layer>>& GetLayers() const { return m_layers; }
    // Representation files parsed by the last Load.
    int GetParseCount() const { return m_parseCount; }

private:
    std::vector<Tarv::SmartPtr<Layer>> m_layers;
    int m_parseCount = 0;
};

} // namespace Plim

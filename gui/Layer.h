// Plim::Layer: one tree of controls of a screen, built from a "layer" element; drawn, hit-tested
// and dumped by the one walk order.
#pragma once

#include "engine/core/RefCounter.h"
#include "gui/BuildContext.h"
#include "gui/Node.h"

#include <functional>

namespace Tarv
{
class Surface;
}

namespace Plim
{

class Control;

// Receives one dump line (no newline; bytes 0x01 r g b switch the console's colour).
using PrintFunction = std::function<void(const Tarv::NarrowString& line)>;

class Layer : public Tarv::RefCounter
{
public:
    // The tree of the layer element's first child element, which must be an "item"; otherwise
    // (reported) the layer is empty.
    Layer(const Tarv::XmlIterator& layer, DocumentCache* documents);
    // Deletes the whole tree with its items.
    ~Layer() override;
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    // Draws the controls in walk order, leaving out hidden subtrees and the children of
    // composited controls (which draw them themselves).
    void Draw(Tarv::Surface& target);
    // The controls Draw draws, in its order.
    void VisitDrawn(const std::function<void(Control& control)>& visit);
    // The last touchable control in walk order whose screen rectangle holds the point (edges
    // included), hidden subtrees left out, composited ones entered; null when none.
    Control* FindTouchableControl(int x, int y) const;
    // One line per control, parents before children, two blanks of indent per level: flags of
    // visibility, alpha and touchability, the name and the effective alpha. Prunes nothing.
    void Dump(const PrintFunction& print) const;
    // The same lines, printed to the developer console (Plim::PrintToConsole).
    void Dump() const;

    Node<Control>* GetRoot() const { return m_root; }

private:
    Node<Control>* m_root = nullptr;
};

} // namespace Plim

// The layer: its tree, drawing walk, hit test and developer dump.
#include "gui/Layer.h"

#include "engine/core/XmlIterator.h"
#include "gui/Control.h"
#include "gui/Messages.h"
#include "gui/Walk.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace Plim
{

namespace
{

bool Unhidden(const Node<Control>* node)
{
    return !node->GetItem()->IsHidden();
}

// The dump line of one control at depth.
Tarv::NarrowString DumpLine(const Node<Control>& node, int depth)
{
    const Control& control = *node.GetItem();
    Tarv::NarrowString line = "    -    -    -    -    -    -    -    -     ";
    const bool visible = control.IsVisibleInTree();
    const int alpha = control.GetEffectiveAlpha();
    const struct {
        unsigned char r, g, b;
        char mark;
        bool on;
    } flags[8] = {
        {0xC0, 0x01, 0x01, 'v', control.IsVisibilitySet()},
        {0xFF, 0x01, 0x01, 'V', visible},
        {0x01, 0xC0, 0x01, 'a', control.IsAlphaSet()},
        {0xFF, 0xFF, 0xFF, 'A', alpha == 255},
        {0x80, 0x80, 0x80, 'A', alpha >= 1 && alpha <= 254},
        {0x40, 0x40, 0x40, 'A', alpha == 0},
        {0x80, 0x80, 0x01, 't', control.IsTouchableSet()},
        {0xC0, 0xC0, 0x01, 'T', control.IsTouchable()},
    };
    for (int i = 0; i < 8; ++i) {
        line[5 * i] = '\x01';
        line[5 * i + 1] = static_cast<char>(flags[i].r);
        line[5 * i + 2] = static_cast<char>(flags[i].g);
        line[5 * i + 3] = static_cast<char>(flags[i].b);
        if (flags[i].on)
            line[5 * i + 4] = flags[i].mark;
    }
    const char grey = static_cast<char>(visible ? 0xFF : 0x80);
    line[40] = '\x01';
    line[41] = line[42] = line[43] = grey;
    line.append(static_cast<std::size_t>(2 * depth), ' ');
    line += node.GetName();
    line += " \x01\x01\x40\x01";
    line += "a: " + std::to_string(alpha);
    return line;
}

} // namespace

Layer::Layer(const Tarv::XmlIterator& layer, DocumentCache* documents)
{
    const Tarv::XmlIterator first(layer, nullptr);
    if (!first.IsValid()) {
        Report("a layer without an item is left empty");
        return;
    }
    BuildContext context{documents, nullptr};
    m_root = Node<Control>::Build(&context, first, nullptr);
}

Layer::~Layer()
{
    delete m_root;
}

void Layer::Draw(Tarv::Surface& target)
{
    VisitDrawn([&target](Control& control) { control.Draw(target); });
}

void Layer::VisitDrawn(const std::function<void(Control& control)>& visit)
{
    if (m_root == nullptr || m_root->GetItem()->IsHidden())
        return;
    WalkTree(
        m_root,
        [&visit](Node<Control>* node) {
            Control* control = node->GetItem();
            visit(*control);
            return control->IsCompositing() ? WalkStep::SKIP : WalkStep::CHILDREN;
        },
        Unhidden);
}

Control* Layer::FindTouchableControl(int x, int y) const
{
    if (m_root == nullptr || m_root->GetItem()->IsHidden())
        return nullptr;
    Control* hit = nullptr;
    WalkTree(
        m_root,
        [&hit, x, y](Node<Control>* node) {
            Control* control = node->GetItem();
            if (!control->IsTouchable())
                return WalkStep::CHILDREN;
            const Rect r = control->GetScreenRect();
            const long long left = r.x, top = r.y;
            if (left <= x && x <= left + r.width && top <= y && y <= top + r.height)
                hit = control;
            return WalkStep::CHILDREN;
        },
        Unhidden);
    return hit;
}

void Layer::Dump(const PrintFunction& print) const
{
    if (m_root == nullptr || !print)
        return;
    // A developer tool: an explicit stack of (node, depth), so a deep tree never recurses.
    std::vector<std::pair<const Node<Control>*, int>> pending{{m_root, 0}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        print(DumpLine(*node, depth));
        const auto& children = node->GetChildren();
        for (auto child = children.rbegin(); child != children.rend(); ++child)
            pending.emplace_back(*child, depth + 1);
    }
}

void Layer::Dump() const
{
    Dump(PrintToConsole);
}

} // namespace Plim

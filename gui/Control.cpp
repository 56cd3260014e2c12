// The control: its representations, drawing (direct and composited), update and bounds.
#include "gui/Control.h"

#include "engine/core/XmlIterator.h"
#include "graphics/render/Surface.h"
#include "gui/Graphic.h"
#include "gui/Messages.h"
#include "gui/Walk.h"

#include <algorithm>
#include <climits>

namespace Plim
{

namespace
{

bool Unhidden(const Node<Control>* node)
{
    return !node->GetItem()->IsHidden();
}

bool Always(const Node<Graphic>*)
{
    return true;
}

int SaturatedSum(int a, int b)
{
    return static_cast<int>(std::clamp<long long>(static_cast<long long>(a) + b, INT_MIN, INT_MAX));
}

} // namespace

Control::Control(const Tarv::XmlIterator& item, DocumentCache* documents)
{
    ReadCommonProperties(item);
    DocumentCache ownCache;
    DocumentCache& cache = documents != nullptr ? *documents : ownCache;
    for (Tarv::XmlIterator element(item, "representation"); element.IsValid(); element.Next())
        ReadRepresentation(element, cache);
    if (!m_representations.empty())
        SetRepresentationByName("default");
}

Control::Control(const Tarv::XmlIterator& item)
{
    ReadCommonProperties(item);
}

Control::~Control()
{
    m_currentName.clear();
    m_current.Reset();
    m_representations.clear();
}

void Control::ReadRepresentation(const Tarv::XmlIterator& element, DocumentCache& documents)
{
    const char* type = element.GetAttribute("type");
    const char* file = element.GetAttribute("file");
    if (type == nullptr || file == nullptr) {
        Report("a representation without \"type\" or \"file\" is left out");
        return;
    }
    OverrideTable overrides;
    for (Tarv::XmlIterator entry(element, "override"); entry.IsValid(); entry.Next()) {
        const char* name = entry.GetAttribute("name");
        if (name == nullptr)
            Report("an override without \"name\" is left out");
        else
            overrides.emplace(name, entry);
    }
    const Tarv::XmlPtr document = documents.Get(file);
    if (!document)
        return;
    const Tarv::XmlIterator first(Tarv::XmlIterator(document).GetElement(), nullptr);
    if (!first.IsValid()) {
        Report(Tarv::NarrowString("representation file \"") + file + "\" holds no item");
        return;
    }
    BuildContext context{nullptr, &overrides};
    const Tarv::SmartPtr<Node<Graphic>> root(Node<Graphic>::Build(&context, first, nullptr));
    if (root)
        m_representations.emplace(type, root);
}

void Control::SelectRepresentation(const Tarv::NarrowString& name)
{
    SetRepresentationByName(name);
}

void Control::SetRepresentationByName(const Tarv::NarrowString& name)
{
    const auto found = m_representations.find(name);
    if (found == m_representations.end())
        return;
    m_currentName = name;
    m_current = found->second;
}

bool Control::IsVisibleInTree() const
{
    for (const Control* control = this; control != nullptr; control = control->GetParentItem())
        if (control->IsHidden())
            return false;
    return true;
}

void Control::Draw(Tarv::Surface& target)
{
    if (IsCompositing() && !IsCompositingActive())
        DrawComposited(target);
    else
        DrawRepresentation(target);
}

void Control::DrawComposited(Tarv::Surface& target)
{
    Tarv::Surface* surface = GetCompositingSurface();
    surface->ClearGrey(0);
    SetCompositingActive(true);
    if (!IsHidden() && GetNode() != nullptr) {
        WalkTree(
            GetNode(),
            [this, surface](Node<Control>* node) {
                Control* control = node->GetItem();
                control->Draw(*surface);
                // A composited descendant has drawn its own subtree into its own surface.
                return control == this || !control->IsCompositing() ? WalkStep::CHILDREN
                                                                    : WalkStep::SKIP;
            },
            Unhidden);
    }
    SetCompositingActive(false);
    surface->SetAlpha(static_cast<std::uint8_t>(GetEffectiveAlpha()));
    target.Blit(GetAbsX(), GetAbsY(), surface, surface->GetRect());
}

void Control::DrawRepresentation(Tarv::Surface& target)
{
    if (!m_current)
        return;
    const Tarv::SmartPtr<Node<Graphic>> hold = m_current;
    Graphic* root = hold->GetItem();
    const int x = root->GetX(), y = root->GetY();
    root->SetX(SaturatedSum(x, GetAbsX()));
    root->SetY(SaturatedSum(y, GetAbsY()));
    // Without an alpha set on the way up the representation is drawn opaque.
    const int alpha = HasInheritedAlpha() ? GetEffectiveAlpha() : 255;
    WalkTree(
        hold.Get(),
        [&target, alpha](Node<Graphic>* node) {
            node->GetItem()->Draw(target, alpha);
            return WalkStep::CHILDREN;
        },
        Always);
    root->SetX(x);
    root->SetY(y);
}

void Control::Update(const float& dt)
{
    WalkTree(
        m_current.Get(),
        [&dt](Node<Graphic>* node) {
            node->GetItem()->Update(dt);
            return WalkStep::CHILDREN;
        },
        Always);
}

void Control::GetUnionSize(int& width, int& height) const
{
    bool first = true;
    long long left = 0, top = 0, right = 0, bottom = 0;
    WalkTree(
        m_current.Get(),
        [&](Node<Graphic>* node) {
            const Rect r = node->GetItem()->GetRect();
            const bool unionEmpty = right - left < 1 || bottom - top < 1;
            if (first || unionEmpty) {
                left = r.x, top = r.y;
                right = left + r.width, bottom = top + r.height;
                first = false;
            } else if (r.width >= 1 && r.height >= 1) {
                left = std::min<long long>(left, r.x);
                top = std::min<long long>(top, r.y);
                right = std::max<long long>(right, static_cast<long long>(r.x) + r.width);
                bottom = std::max<long long>(bottom, static_cast<long long>(r.y) + r.height);
            }
            return WalkStep::CHILDREN;
        },
        Always);
    width = static_cast<int>(std::clamp<long long>(right - left, INT_MIN, INT_MAX));
    height = static_cast<int>(std::clamp<long long>(bottom - top, INT_MIN, INT_MAX));
}

Rect Control::GetLocalBounds() const
{
    Rect bounds{GetX(), GetY(), 0, 0};
    GetUnionSize(bounds.width, bounds.height);
    return bounds;
}

Rect Control::GetScreenRect() const
{
    Rect bounds{GetAbsX(), GetAbsY(), 0, 0};
    GetUnionSize(bounds.width, bounds.height);
    return bounds;
}

} // namespace Plim

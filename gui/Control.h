// Plim::Control: the element of a screen that scripts address by name: a positioned, optionally
// touchable and composited item of a layer's tree whose look is one of its named
// representations, each a tree of graphics read from a representation file.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/SmartPtr.h"
#include "gui/BuildContext.h"
#include "gui/Node.h"
#include "gui/PlimItem.h"
#include "gui/Rect.h"

#include <map>

namespace Plim
{

class Graphic;

class Control : public PlimItem<Control>
{
public:
    static constexpr int TYPE_CONTROL = 0;

    // Reads the common properties, then each "representation" (type, file, overrides; the file
    // parsed once through documents, or on its own when documents is null), and selects
    // "default". A representation without "type" or "file", or whose file is missing, not
    // XML or does not start with an item, is reported and left out; of two with one type the
    // first stays.
    Control(const Tarv::XmlIterator& item, DocumentCache* documents);
    ~Control() override;

    // Draws the current representation at the absolute position with the effective alpha; a
    // composited control draws itself and its visible subtree into its surface first and then
    // that surface. Nothing without a current representation (and nothing composited while
    // the control hides itself).
    virtual void Draw(Tarv::Surface& target);
    // Updates every graphic of the current representation, in walk order.
    virtual void Update(const float& dt);
    // Lays out text again after a language change; nothing for a plain control.
    virtual void RefreshText() {}
    virtual void SelectRepresentation(const Tarv::NarrowString& name);
    // {own x, own y, w, h} and {absolute x, absolute y, w, h} with the size of the union of
    // the current representation's graphic rectangles (0 x 0 without one).
    virtual Rect GetLocalBounds() const;
    virtual Rect GetScreenRect() const;
    virtual int GetTypeId() const { return TYPE_CONTROL; }

    // Makes the named representation current; an unknown name changes nothing.
    void SetRepresentationByName(const Tarv::NarrowString& name);
    // False when this control or one above it hides itself.
    bool IsVisibleInTree() const;

    const Tarv::NarrowString& GetRepresentationName() const { return m_currentName; }
    Node<Graphic>* GetRepresentation() const { return m_current.Get(); }
    const std::map<Tarv::NarrowString, Tarv::SmartPtr<Node<Graphic>>>& GetRepresentations() const
    {
        return m_representations;
    }

protected:
    // The common properties alone, no representations (the text box).
    explicit Control(const Tarv::XmlIterator& item);

private:
    void ReadRepresentation(const Tarv::XmlIterator& element, DocumentCache& documents);
    void DrawComposited(Tarv::Surface& target);
    void DrawRepresentation(Tarv::Surface& target);
    // Width and height of the union of the current representation's rectangles.
    void GetUnionSize(int& width, int& height) const;

    std::map<Tarv::NarrowString, Tarv::SmartPtr<Node<Graphic>>> m_representations;
    Tarv::SmartPtr<Node<Graphic>> m_current;
    Tarv::NarrowString m_currentName;
};

} // namespace Plim

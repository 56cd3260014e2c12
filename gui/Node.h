// Plim::Node: one node of a GUI tree (controls in a layer, graphics in a representation): its
// name, its children in document order, the item it carries and its parent. Trees are built
// from nested "item" elements and never change afterwards.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "gui/BuildContext.h"

#include <vector>

namespace Plim
{

template <class T>
class Node : public Tarv::RefCounter
{
public:
    // Items nested deeper than this are reported and left out, so walks up the tree and the
    // builder's own recursion stay short.
    static constexpr int MAX_DEPTH = 64;

    // A root node carrying item (taken over; may be null only in tests of the node alone).
    Node(const Tarv::NarrowString& name, T* item);
    // Deletes each child in list order, then the item.
    ~Node() override;
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    // Builds the subtree of one "item" element, appended to parent when given. Null, with one
    // report, when the element is not an "item", lacks "type" or "name", names a type the
    // factory of T does not make, or lies deeper than MAX_DEPTH; its subtree is then skipped.
    // The new node has a reference count of 0.
    static Node* Build(BuildContext* context, const Tarv::XmlIterator& element, Node* parent);

    // Appends the child (taken over) and makes this node its parent.
    void AddChild(Node* child);

    const Tarv::NarrowString& GetName() const { return m_name; }
    const std::vector<Node*>& GetChildren() const { return m_children; }
    T* GetItem() const { return m_item; }
    Node* GetParent() const { return m_parent; }

private:
    int GetDepth() const;

    Tarv::NarrowString m_name;
    std::vector<Node*> m_children;
    T* m_item;
    Node* m_parent = nullptr;
};

} // namespace Plim

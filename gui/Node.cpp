// The tree builder and node lifetime, for control trees and graphic trees alike.
#include "gui/Node.h"

#include "gui/Control.h"
#include "gui/Graphic.h"
#include "gui/ItemFactory.h"
#include "gui/Messages.h"

#include <cstring>

namespace Plim
{

namespace
{

Control* CreateItem(BuildContext* context, const char* type, const Tarv::XmlIterator& item,
                    Control*)
{
    return CreateControl(context, type, item);
}

Graphic* CreateItem(BuildContext* context, const char* type, const Tarv::XmlIterator& item,
                    Graphic*)
{
    return CreateGraphic(context, type, item);
}

// One line naming the element, so an author finds it: type and name as far as they exist.
Tarv::NarrowString Describe(const Tarv::XmlIterator& element)
{
    const char* type = element.GetAttribute("type");
    const char* name = element.GetAttribute("name");
    Tarv::NarrowString text = "<";
    text += element.GetName() != nullptr ? element.GetName() : "?";
    if (type != nullptr)
        text += Tarv::NarrowString(" type=\"") + type + "\"";
    if (name != nullptr)
        text += Tarv::NarrowString(" name=\"") + name + "\"";
    return text + ">";
}

} // namespace

template <class T>
Node<T>::Node(const Tarv::NarrowString& name, T* item) : m_name(name), m_item(item)
{
    if (item != nullptr)
        item->SetNode(this);
}

template <class T>
Node<T>::~Node()
{
    for (Node* child : m_children)
        delete child;
    m_children.clear();
    delete m_item;
    m_item = nullptr;
    m_name.clear();
}

template <class T>
int Node<T>::GetDepth() const
{
    int depth = 0;
    for (const Node* node = m_parent; node != nullptr; node = node->m_parent)
        ++depth;
    return depth;
}

template <class T>
Node<T>* Node<T>::Build(BuildContext* context, const Tarv::XmlIterator& element, Node* parent)
{
    if (!element.IsValid())
        return nullptr;
    if (std::strcmp(element.GetName(), "item") != 0) {
        Report(Describe(element) + " is not an item: left out");
        return nullptr;
    }
    const char* type = element.GetAttribute("type");
    const char* name = element.GetAttribute("name");
    if (type == nullptr || name == nullptr) {
        Report(Describe(element) + " lacks \"type\" or \"name\": left out");
        return nullptr;
    }
    if (parent != nullptr && parent->GetDepth() + 1 >= MAX_DEPTH) {
        Report(Describe(element) + " lies deeper than " + std::to_string(MAX_DEPTH) +
               " levels: left out");
        return nullptr;
    }
    T* item = CreateItem(context, type, element, static_cast<T*>(nullptr));
    if (item == nullptr) {
        Report(Describe(element) + " has an unknown type: left out");
        return nullptr;
    }
    Node* node = new Node(name, item);
    if (parent != nullptr)
        parent->AddChild(node);
    const Tarv::XmlIterator children(element, "children");
    for (Tarv::XmlIterator child(children, nullptr); child.IsValid(); child.Next())
        Build(context, child, node);
    return node;
}

template <class T>
void Node<T>::AddChild(Node* child)
{
    m_children.push_back(child);
    child->m_parent = this;
}

template class Node<Control>;
template class Node<Graphic>;

} // namespace Plim

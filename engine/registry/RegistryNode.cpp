// Children and keys of one registry node.
#include "engine/registry/RegistryNode.h"

#include <utility>

namespace Tarv
{

RegistryNode::~RegistryNode()
{
    Clear();
}

RegistryNode* RegistryNode::FindChild(const NarrowString& name, bool create)
{
    const auto found = m_children.find(name);
    if (found != m_children.end())
        return found->second.get();
    if (!create)
        return nullptr;
    return m_children.emplace(name, std::make_unique<RegistryNode>()).first->second.get();
}

RegistryKey* RegistryNode::FindKey(const NarrowString& name) const
{
    const auto found = m_keys.find(name);
    return found != m_keys.end() ? found->second.get() : nullptr;
}

RegistryKey* RegistryNode::CreateKey(const NarrowString& name)
{
    std::unique_ptr<RegistryKey>& slot = m_keys[name];
    if (slot == nullptr)
        slot = std::make_unique<RegistryKey>();
    return slot.get();
}

bool RegistryNode::InsertKey(const NarrowString& name, std::unique_ptr<RegistryKey> key)
{
    if (key == nullptr)
        return false;
    return m_keys.emplace(name, std::move(key)).second;
}

void RegistryNode::Clear()
{
    // Keys first, then the children, as the tree was documented to free itself.
    m_keys.clear();
    m_children.clear();
}

} // namespace Tarv

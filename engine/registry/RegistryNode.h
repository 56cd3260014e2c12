// Tarv::RegistryNode: one inner node of the registry tree, with its child nodes and its keys,
// each ordered by name as byte strings (case-sensitive, a prefix before its extensions).
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/registry/RegistryKey.h"

#include <map>
#include <memory>

namespace Tarv
{

// Not locked: the registry that owns the tree guards every access.
class RegistryNode
{
public:
    using NodeMap = std::map<NarrowString, std::unique_ptr<RegistryNode>>;
    using KeyMap = std::map<NarrowString, std::unique_ptr<RegistryKey>>;

    RegistryNode() = default;
    RegistryNode(const RegistryNode&) = delete;
    RegistryNode& operator=(const RegistryNode&) = delete;
    ~RegistryNode();

    // The child of that name; a new empty one when missing and create holds, else null.
    RegistryNode* FindChild(const NarrowString& name, bool create);
    // The key of that name, or null.
    RegistryKey* FindKey(const NarrowString& name) const;
    // The key of that name, made as a new unset plain key when missing. An existing key is
    // kept (pointers to it stay valid).
    RegistryKey* CreateKey(const NarrowString& name);
    // Puts key under name unless that name is taken; false (and key deleted) when it is.
    bool InsertKey(const NarrowString& name, std::unique_ptr<RegistryKey> key);
    void Clear();

    const NodeMap& GetChildren() const { return m_children; }
    const KeyMap& GetKeys() const { return m_keys; }

private:
    NodeMap m_children;
    KeyMap m_keys;
};

} // namespace Tarv

// Path resolution, typed access, callbacks and file loading and saving of Tarv::Registry.
#include "engine/registry/Registry.h"

#include "engine/core/Xml.h"
#include "engine/core/XmlIterator.h"
#include "engine/registry/AtomicFileWriter.h"
#include "engine/registry/RegistryKey.h"
#include "engine/registry/RegistryXmlWriter.h"
#include "engine/vfs/XmlFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace Tarv
{

SmartPtr<Registry> Registry::Instance;

namespace
{

const char MACHINE_PATH[] = "/machine";

bool StartsWith(const NarrowString& text, const NarrowString& prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// Splits a key path at its last "/"; false when the node path or the name would be empty.
bool SplitKeyPath(const NarrowString& path, NarrowString& nodePath, NarrowString& name)
{
    const std::size_t slash = path.rfind('/');
    if (slash == NarrowString::npos || slash == 0 || slash + 1 >= path.size())
        return false;
    nodePath = path.substr(0, slash);
    name = path.substr(slash + 1);
    return true;
}

} // namespace

Registry::Registry(const MachineInfo* machine) : m_machine(machine)
{
    m_machineSetup = true;
    CreateMachineKeys(m_root, &m_machine);
    m_machineSetup = false;
}

Registry::~Registry() = default;

void Registry::SetMachineInfo(const MachineInfo* machine)
{
    m_machine.store(machine, std::memory_order_release);
}

bool Registry::IsMachinePath(const NarrowString& path)
{
    const std::size_t length = sizeof MACHINE_PATH - 1;
    return path.compare(0, length, MACHINE_PATH) == 0 && (path.size() == length || path[length] == '/');
}

RegistryNode* Registry::FindNodeLocked(const NarrowString& path, bool parentOnly, bool create)
{
    if (path.empty() || path[0] != '/')
        return nullptr;
    if (!m_machineSetup && IsMachinePath(path))
        create = false;
    if (path.find('\0') != NarrowString::npos)
        create = false;

    NarrowString nodePath = path;
    if (parentOnly) {
        NarrowString name;
        if (!SplitKeyPath(path, nodePath, name))
            return nullptr;
    }
    if (nodePath == "/")
        return &m_root;
    // Nothing deeper than the limit can exist: refuse before creating any part of the path, so a
    // failed look-up leaves the tree as it was.
    if (std::count(nodePath.begin(), nodePath.end(), '/') > MAX_DEPTH)
        return nullptr;

    RegistryNode* node = &m_root;
    std::size_t start = 0;
    int depth = 0;
    while (start < nodePath.size() && node != nullptr) {
        const std::size_t next = nodePath.find('/', start + 1);
        const std::size_t end = next == NarrowString::npos ? nodePath.size() : next;
        const NarrowString component(nodePath.substr(start + 1, end - start - 1));
        node = node->FindChild(component, create && ++depth <= MAX_DEPTH);
        start = end;
    }
    return node;
}

RegistryKey* Registry::FindKeyLocked(const NarrowString& path, bool create)
{
    // A name holding a NUL byte could not be saved: such a path creates nothing.
    create = create && path.find('\0') == NarrowString::npos;
    RegistryNode* node = FindNodeLocked(path, true, create);
    if (node == nullptr)
        return nullptr;
    const NarrowString name(path.substr(path.rfind('/') + 1));
    RegistryKey* key = node->FindKey(name);
    if (key == nullptr && create)
        key = node->CreateKey(name);
    return key;
}

const RegistryKey* Registry::FindKeyLocked(const NarrowString& path) const
{
    return const_cast<Registry*>(this)->FindKeyLocked(path, false);
}

RegistryNode* Registry::FindNode(const NarrowString& path, bool parentOnly, bool create)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return FindNodeLocked(path, parentOnly, create);
}

RegistryKey* Registry::FindKey(const NarrowString& path, bool create)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return FindKeyLocked(path, create);
}

bool Registry::GetValue(const NarrowString& path, Any& out) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const RegistryKey* key = FindKeyLocked(path);
    if (key == nullptr)
        return false;
    out = key->GetValue();
    return true;
}

bool Registry::GetBool(const NarrowString& path, bool& out) const
{
    Any value;
    return GetValue(path, value) && value.Read(out);
}

bool Registry::GetInt(const NarrowString& path, int& out) const
{
    Any value;
    return GetValue(path, value) && value.Read(out);
}

bool Registry::GetString(const NarrowString& path, NarrowString& out) const
{
    Any value;
    return GetValue(path, value) && value.Read(out);
}

template <class Set>
bool Registry::SetLocked(const NarrowString& path, Set set)
{
    std::vector<Change> changes;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        RegistryKey* key = FindKeyLocked(path, true);
        if (key == nullptr || !set(*key))
            return false;
        changes.push_back(Change{path, key});
    }
    RunCallbacks(changes);
    return true;
}

bool Registry::SetBool(const NarrowString& path, bool value)
{
    return SetLocked(path, [value](RegistryKey& key) { return key.SetBool(value); });
}

bool Registry::SetInt(const NarrowString& path, int value)
{
    return SetLocked(path, [value](RegistryKey& key) { return key.SetInt(value); });
}

bool Registry::SetString(const NarrowString& path, const NarrowString& value)
{
    return SetLocked(path, [&value](RegistryKey& key) { return key.SetString(value); });
}

void Registry::RegisterCallback(const NarrowString& prefix, Callback function, void* user,
                                const NarrowString& file, const NarrowString& functionName, int line)
{
    NarrowString description = file + " (" + functionName + ": ";
    description.AppendInt(line);
    description += ")";
    std::lock_guard<std::mutex> lock(m_mutex);
    m_callbacks.push_back(CallbackEntry{function, user, prefix, description});
}

bool Registry::UnregisterCallback(const NarrowString& prefix, Callback function, void* user)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = std::find_if(m_callbacks.begin(), m_callbacks.end(), [&](const CallbackEntry& entry) {
        return entry.function == function && entry.user == user && entry.prefix == prefix;
    });
    if (found == m_callbacks.end())
        return false;
    m_callbacks.erase(found);
    return true;
}

std::vector<NarrowString> Registry::GetCallbackDescriptions() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<NarrowString> descriptions;
    for (const CallbackEntry& entry : m_callbacks)
        descriptions.push_back(entry.description);
    return descriptions;
}

void Registry::VisitTree(const std::function<void(const RegistryNode& root)>& visit) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    visit(m_root);
}

bool Registry::UpdateKey(const NarrowString& path, const std::function<bool(RegistryKey& key)>& update)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    RegistryKey* key = FindKeyLocked(path, false);
    return key != nullptr && update(*key);
}

std::vector<Registry::CallbackInfo> Registry::GetCallbackInfos() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<CallbackInfo> infos;
    for (const CallbackEntry& entry : m_callbacks)
        infos.push_back(CallbackInfo{entry.prefix, entry.description});
    return infos;
}

void Registry::RunCallbacks(const std::vector<Change>& changes) const
{
    if (changes.empty())
        return;
    // A snapshot, so callbacks may register, unregister and use the registry freely.
    std::vector<CallbackEntry> callbacks;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        callbacks = m_callbacks;
    }
    for (const Change& change : changes) {
        for (const CallbackEntry& entry : callbacks) {
            if (StartsWith(change.path, entry.prefix))
                entry.function(entry.user, change.path, change.key);
        }
    }
}

NarrowString Registry::ToXml(const NarrowString& basePath) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const RegistryNode* node = const_cast<Registry*>(this)->FindNodeLocked(basePath, false, false);
    if (node == nullptr)
        return NarrowString();
    return RegistryXmlWriter::Write(*node, basePath);
}

bool Registry::SaveFile(const NarrowString& path, const NarrowString& basePath, WriteFailure* failure,
                        const NarrowString& formerFile) const
{
    const NarrowString text = ToXml(basePath);
    if (text.empty()) {
        if (failure != nullptr) {
            *failure = WriteFailure();
            failure->error = ENOENT;
        }
        return false;
    }
    return AtomicFileWriter::WriteFile(path.c_str(), text, failure, formerFile);
}

bool Registry::LoadFile(const NarrowString& path, bool notify, const NarrowString& basePath,
                        std::vector<NarrowString>* unreadable)
{
    XmlPtr document = Xml::CreateFromFile(path);
    if (!document)
        return false;
    return LoadXml(XmlIterator(document), notify, basePath, unreadable);
}

bool Registry::LoadString(const NarrowString& text, bool notify, const NarrowString& basePath,
                          std::vector<NarrowString>* unreadable)
{
    XmlPtr document = Xml::CreateFromString(text);
    if (!document)
        return false;
    return LoadXml(XmlIterator(document), notify, basePath, unreadable);
}

bool Registry::LoadXml(const XmlIterator& root, bool notify, const NarrowString& basePath,
                       std::vector<NarrowString>* unreadable)
{
    if (!root.IsValid() || std::strcmp(root.GetName(), "registry") != 0)
        return false;
    const XmlIterator top(root, "node");
    if (!top.IsValid())
        return false;
    NarrowString target = basePath;
    if (target.empty()) {
        const char* stored = top.GetAttribute("name");
        if (stored == nullptr)
            return false;
        target = stored;
    }

    std::vector<Change> changes;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        RegistryNode* node = FindNodeLocked(target, false, true);
        if (node == nullptr)
            return false;
        RegistryXmlReader::Read(top, *node, target, changes);
    }
    if (unreadable != nullptr) {
        for (const Change& change : changes) {
            if (change.unreadable)
                unreadable->push_back(change.path);
        }
    }
    if (notify)
        RunCallbacks(changes);
    return true;
}

} // namespace Tarv

// Tarv::Registry: the engine's one store of named values, a tree of nodes addressed by
// absolute slash paths whose leaves are typed keys (bool, int, string). It also holds the
// read-only "/machine" keys and loads and saves subtrees as XML files.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "engine/registry/MachineKeys.h"
#include "engine/registry/RegistryNode.h"
#include "engine/registry/RegistryXmlReader.h"

#include <functional>
#include <mutex>
#include <vector>

namespace Tarv
{

class MachineInfo;
class RegistryKey;
class XmlIterator;
struct WriteFailure;

// Paths: "/" is the root; "/a/b" is node b in node a, or, as a key path, key b in node a. A key
// path splits at its last "/" into a node path and a key name, both non-empty, so "/x" and
// "/a/" address no key and the root's own keys are "//name". An empty component ("/a//b")
// names a node whose name is empty. Relative and empty paths address nothing.
//
// Threads: every operation takes the registry's lock, so the main and loader threads may use
// it at once. Callbacks run after the lock is released, on the thread that made the change.
// Under "/machine" no node is created after construction and the machine keys refuse every
// write; a plain key can still be made and set in a node that exists there.
class Registry : public RefCounter
{
public:
    // Called after a key changed: (user, the key's full path, the key).
    using Callback = void (*)(void* user, const NarrowString& path, RegistryKey* key);

    // The engine-wide registry; the application sets and clears it.
    static SmartPtr<Registry> Instance;

    // Nodes deeper than this are never created (hostile files and paths can't build a tree
    // too deep to walk or free).
    static constexpr int MAX_DEPTH = 64;

    // Creates the machine keys, which read machine (borrowed; null reads as zeros and empty
    // texts until SetMachineInfo).
    explicit Registry(const MachineInfo* machine = nullptr);
    ~Registry() override;
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // Points the machine keys at another device description (borrowed; null allowed). The
    // caller keeps it alive until it is replaced or the registry is gone.
    void SetMachineInfo(const MachineInfo* machine);

    // Raw access for the console and the script binding. The pointers stay valid until the
    // registry is destroyed, but reading or writing through them is not locked: from a second
    // thread use the typed getters and setters instead. A path holding a NUL byte creates
    // nothing, as the registry file could not carry its name.
    RegistryNode* FindNode(const NarrowString& path, bool parentOnly, bool create);
    RegistryKey* FindKey(const NarrowString& path, bool create);

    // False (out untouched) when no key is at path, the key is unset, or it holds another type.
    bool GetBool(const NarrowString& path, bool& out) const;
    bool GetInt(const NarrowString& path, int& out) const;
    bool GetString(const NarrowString& path, NarrowString& out) const;
    // The key's value whatever its type; false when there is no key. Unset keys give an empty
    // value.
    bool GetValue(const NarrowString& path, Any& out) const;

    // Creates nodes and key as needed and stores the value (retyping the key); then runs the
    // callbacks whose prefix starts path. False, with no callback, for a path that addresses no
    // key (a missing node under "/machine" among them), a read-only key, or a string holding a
    // NUL byte.
    bool SetBool(const NarrowString& path, bool value);
    bool SetInt(const NarrowString& path, int value);
    bool SetString(const NarrowString& path, const NarrowString& value);

    // Prefixes match as plain text: "/quor" also matches "/quorum/x"; "" matches every path.
    void RegisterCallback(const NarrowString& prefix, Callback function, void* user,
                          const NarrowString& file, const NarrowString& functionName, int line);
    // Removes the first entry with that prefix, function and user; false when none matched.
    bool UnregisterCallback(const NarrowString& prefix, Callback function, void* user);
    // Runs visit on the root node with the lock held, so another thread can't change the tree
    // while it is walked. visit must not call the registry.
    void VisitTree(const std::function<void(const RegistryNode& root)>& visit) const;
    // Runs update on the existing key at path with the lock held and returns its result; false
    // when there is no key. The key's own setters notify no callback. update must not call the
    // registry.
    bool UpdateKey(const NarrowString& path, const std::function<bool(RegistryKey& key)>& update);
    // "file (function: line)" for each callback, in registration order.
    std::vector<NarrowString> GetCallbackDescriptions() const;
    // Each callback's prefix with its description, in registration order.
    struct CallbackInfo
    {
        NarrowString prefix;
        NarrowString description;
    };
    std::vector<CallbackInfo> GetCallbackInfos() const;

    // The settings file text for the node at basePath; "" when there is no such node.
    NarrowString ToXml(const NarrowString& basePath) const;
    // Writes ToXml(basePath) to the virtual path, replacing any old file only once the new one
    // is completely on disk. False for an empty text (error ENOENT) or a failed write (old
    // file kept; failure says why and where, see AtomicFileWriter). A file not there yet takes
    // its owner, group and mode from formerFile, a host file it succeeds, when that is given.
    bool SaveFile(const NarrowString& path, const NarrowString& basePath, WriteFailure* failure = nullptr,
                  const NarrowString& formerFile = NarrowString()) const;
    // Merges a registry file into the node at basePath (or, for an empty basePath, the path the
    // file names). False, with nothing changed, when the file is missing, doesn't parse, or has
    // no "registry" root with a "node" element. With notify, callbacks run for every key read.
    // Keys whose value doesn't read as their declared type still get one (see
    // RegistryXmlReader), keys of an unknown type get none; the full paths of both are appended
    // to unreadable when it is given.
    bool LoadFile(const NarrowString& path, bool notify, const NarrowString& basePath,
                  std::vector<NarrowString>* unreadable = nullptr);
    bool LoadString(const NarrowString& text, bool notify, const NarrowString& basePath,
                    std::vector<NarrowString>* unreadable = nullptr);
    bool LoadXml(const XmlIterator& root, bool notify, const NarrowString& basePath,
                 std::vector<NarrowString>* unreadable = nullptr);

    // True for "/machine" and every path below it.
    static bool IsMachinePath(const NarrowString& path);

private:
    struct CallbackEntry
    {
        Callback function;
        void* user;
        NarrowString prefix;
        NarrowString description;
    };
    using Change = RegistryXmlReader::Change;

    RegistryNode* FindNodeLocked(const NarrowString& path, bool parentOnly, bool create);
    RegistryKey* FindKeyLocked(const NarrowString& path, bool create);
    const RegistryKey* FindKeyLocked(const NarrowString& path) const;
    template <class Set>
    bool SetLocked(const NarrowString& path, Set set);
    void RunCallbacks(const std::vector<Change>& changes) const;

    RegistryNode m_root;
    std::vector<CallbackEntry> m_callbacks;
    bool m_machineSetup = false;
    MachineInfoSlot m_machine{nullptr};
    mutable std::mutex m_mutex;
};

} // namespace Tarv

// Settings: the settings subtree's files, the typed accessors, and the logic-rate fallback.
#include "framework/Settings.h"

#include "engine/core/Any.h"
#include "engine/core/SmartPtr.h"
#include "engine/registry/AtomicFileWriter.h"
#include "engine/registry/Registry.h"
#include "engine/registry/RegistryKey.h"
#include "engine/registry/RegistryNode.h"
#include "engine/vfs/File.h"
#include "engine/vfs/Vfs.h"
#include "framework/System.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace Quor
{

namespace
{

// Where the defaults file is read aside while the runtime keys are reset; emptied afterwards.
constexpr const char* SCRATCH_ROOT = "/.settings-defaults";
// A user file kept aside through the file system (no host file to rename) is copied in
// pieces of this size.
constexpr int COPY_PIECE = 1 << 16;

Tarv::Registry* GetRegistry()
{
    return Tarv::Registry::Instance.Get();
}

// Copies every key below node into the registry at path, keeping each key's type. With
// onlyMissing, a key that already holds a value at its path is left as it is. Returns how
// many keys were written.
int CopyKeys(Tarv::Registry& registry, const Tarv::RegistryNode& node, const Tarv::NarrowString& path, int depth,
             bool onlyMissing)
{
    if (depth > Tarv::Registry::MAX_DEPTH)
        return 0;
    int copied = 0;
    for (const auto& entry : node.GetKeys()) {
        const Tarv::Any value = entry.second->GetValue();
        const Tarv::NarrowString keyPath = path + "/" + entry.first;
        Tarv::Any present;
        if (onlyMissing && registry.GetValue(keyPath, present) && !present.IsEmpty())
            continue;
        ++copied;
        if (const bool* flag = value.Get<bool>())
            registry.SetBool(keyPath, *flag);
        else if (const int* number = value.Get<int>())
            registry.SetInt(keyPath, *number);
        else if (const Tarv::NarrowString* text = value.Get<Tarv::NarrowString>())
            registry.SetString(keyPath, *text);
        else
            --copied;
    }
    for (const auto& child : node.GetChildren())
        copied += CopyKeys(registry, *child.second, path + "/" + child.first, depth + 1, onlyMissing);
    return copied;
}

} // namespace

Settings* Settings::GetInstance()
{
    return System::GetOrCreateService<Settings>("Settings");
}

bool Settings::Init(const Tarv::NarrowString& name, const Tarv::NarrowString& userFile,
                    const Tarv::NarrowString& defaultsFile, bool force)
{
    m_root = "/" + name;
    m_userFile = userFile;
    m_defaultsFile = defaultsFile;
    m_fromUserFile = false;
    m_defaultsLoaded = false;
    m_unreadableKeys.clear();
    Tarv::Registry* registry = GetRegistry();
    if (registry == nullptr)
        return false;

    if (!force) {
        if (registry->LoadFile(m_userFile, false, m_root, &m_unreadableKeys)) {
            m_fromUserFile = true;
            ResetRuntimeKeys(*registry);
            return true;
        }
        KeepBadUserFile();
    }
    return LoadDefaults();
}

bool Settings::LoadDefaults()
{
    Tarv::Registry* registry = GetRegistry();
    if (registry == nullptr || !registry->LoadFile(m_defaultsFile, false, m_root))
        return false;
    m_defaultsLoaded = true;
    return true;
}

bool Settings::Save()
{
    m_saveError.clear();
    const Tarv::NarrowString hostPath = Tarv::AtomicFileWriter::GetHostPath(m_userFile.c_str());
    const Tarv::NarrowString target = hostPath.empty() ? m_userFile : hostPath;
    Tarv::Registry* registry = GetRegistry();
    if (registry == nullptr || m_root.empty()) {
        m_saveError = "settings not saved to " + target + ": no settings were loaded";
        return false;
    }
    if (!m_fromUserFile && !m_defaultsLoaded) {
        m_saveError = "settings not saved to " + target + ": the defaults (" + m_defaultsFile + ") did not load";
        return false;
    }
    int error = 0;
    if (!registry->SaveFile(m_userFile, m_root, &error)) {
        m_saveError = "settings not saved to " + target + ": " + std::strerror(error);
        return false;
    }
    return true;
}

void Settings::KeepBadUserFile() const
{
    const Tarv::NarrowString keptName = m_userFile + BAD_FILE_SUFFIX;
    // A rename keeps a file of any size and costs nothing.
    const Tarv::NarrowString hostPath = Tarv::AtomicFileWriter::GetHostPath(m_userFile.c_str());
    if (!hostPath.empty()) {
        std::rename(hostPath.c_str(), (hostPath + BAD_FILE_SUFFIX).c_str());
        return;
    }
    Tarv::SmartPtr<Tarv::File> in(Tarv::VfsOpenRead(m_userFile.c_str()));
    if (!in)
        return; // missing: nothing to keep
    Tarv::SmartPtr<Tarv::File> out(Tarv::VfsOpenWrite(keptName.c_str()));
    if (!out)
        return;
    std::vector<char> piece(COPY_PIECE);
    int got = 0;
    while ((got = in->Read(piece.data(), COPY_PIECE)) > 0) {
        if (out->Write(piece.data(), got) != got)
            return;
    }
}

int Settings::AddMissingDefaults()
{
    Tarv::Registry* registry = GetRegistry();
    if (registry == nullptr || m_root.empty())
        return -1;
    const Tarv::RegistryNode* defaults = LoadDefaultsAside(*registry);
    if (defaults == nullptr)
        return -1;
    m_defaultsLoaded = true;
    const int added = CopyKeys(*registry, *defaults, m_root, 0, true);
    ClearScratch(*registry);
    return added;
}

Tarv::RegistryNode* Settings::LoadDefaultsAside(Tarv::Registry& registry) const
{
    ClearScratch(registry);
    if (!registry.LoadFile(m_defaultsFile, false, SCRATCH_ROOT))
        return nullptr;
    return registry.FindNode(SCRATCH_ROOT, false, false);
}

void Settings::ClearScratch(Tarv::Registry& registry)
{
    if (Tarv::RegistryNode* scratch = registry.FindNode(SCRATCH_ROOT, false, false))
        scratch->Clear();
}

void Settings::ResetRuntimeKeys(Tarv::Registry& registry) const
{
    const Tarv::NarrowString runtimePath = m_root + "/" + RUNTIME_NODE;
    if (Tarv::RegistryNode* runtime = registry.FindNode(runtimePath, false, false))
        runtime->Clear();
    Tarv::RegistryNode* scratch = LoadDefaultsAside(registry);
    if (scratch == nullptr)
        return;
    if (const Tarv::RegistryNode* defaults = scratch->FindChild(RUNTIME_NODE, false))
        CopyKeys(registry, *defaults, runtimePath, 0, false);
    ClearScratch(registry);
}

Tarv::NarrowString Settings::GetPath(const Tarv::NarrowString& name) const
{
    return m_root + "/" + name;
}

int Settings::GetInt(const Tarv::NarrowString& name) const
{
    int value = 0;
    if (Tarv::Registry* registry = GetRegistry())
        registry->GetInt(GetPath(name), value);
    return value;
}

bool Settings::GetBool(const Tarv::NarrowString& name) const
{
    bool value = false;
    if (Tarv::Registry* registry = GetRegistry())
        registry->GetBool(GetPath(name), value);
    return value;
}

Tarv::NarrowString Settings::GetString(const Tarv::NarrowString& name) const
{
    Tarv::NarrowString value;
    if (Tarv::Registry* registry = GetRegistry())
        registry->GetString(GetPath(name), value);
    return value;
}

bool Settings::SetInt(const Tarv::NarrowString& name, const int& value)
{
    Tarv::Registry* registry = GetRegistry();
    return registry != nullptr && registry->SetInt(GetPath(name), value);
}

bool Settings::SetBool(const Tarv::NarrowString& name, const bool& value)
{
    Tarv::Registry* registry = GetRegistry();
    return registry != nullptr && registry->SetBool(GetPath(name), value);
}

bool Settings::SetString(const Tarv::NarrowString& name, const Tarv::NarrowString& value)
{
    Tarv::Registry* registry = GetRegistry();
    return registry != nullptr && registry->SetString(GetPath(name), value);
}

float Settings::GetLogicInterval() const
{
    int fps = GetInt("constants/logic_fps");
    if (fps <= 0 || fps > MAX_LOGIC_FPS)
        fps = DEFAULT_LOGIC_FPS;
    return 1.0f / static_cast<float>(fps);
}

} // namespace Quor

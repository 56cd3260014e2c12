// Settings: the settings subtree's files, the typed accessors, and the logic-rate fallback.
#include "framework/Settings.h"

#include "engine/core/Any.h"
#include "engine/core/Report.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/TextNumber.h"
#include "engine/registry/AtomicFileWriter.h"
#include "engine/registry/Registry.h"
#include "engine/registry/RegistryKey.h"
#include "engine/registry/RegistryNode.h"
#include "engine/vfs/File.h"
#include "engine/vfs/Vfs.h"
#include "framework/System.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Quor
{

namespace
{

// Where the defaults file is read aside to be compared with the user's keys; emptied afterwards.
constexpr const char* SCRATCH_ROOT = "/.settings-defaults";
// A user file kept aside through the file system (no host file to rename) is copied in
// pieces of this size.
constexpr int COPY_PIECE = 1 << 16;
// A user file longer than this is not a settings file (a link to a device, say): unreadable.
constexpr std::size_t MAX_USER_FILE = std::size_t(256) << 20;

Tarv::Registry* GetRegistry()
{
    return Tarv::Registry::Instance.Get();
}

// Reads the whole host file; false when it cannot be opened or read, with error holding errno
// and why the reason to give. Only a regular file is read: opening and reading a named pipe
// or a device could wait for ever, so it is refused without a read (a folder with EISDIR).
bool ReadHostFile(const Tarv::NarrowString& path, Tarv::NarrowString& text, int& error, Tarv::NarrowString& why)
{
    // Without O_NONBLOCK, opening a named pipe waits for a writer that may never come.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0) {
        error = errno;
        why = std::strerror(error);
        if (fd >= 0)
            close(fd);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        why = Tarv::DescribeFileKind(info.st_mode);
        close(fd);
        return false;
    }
    char piece[COPY_PIECE];
    bool read = true;
    for (;;) {
        const ssize_t got = ::read(fd, piece, sizeof piece);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 || text.size() > MAX_USER_FILE) {
            error = got < 0 ? errno : EFBIG;
            why = std::strerror(error);
            read = false;
            break;
        }
        if (got == 0)
            break;
        text.append(piece, static_cast<std::size_t>(got));
    }
    close(fd);
    return read;
}

// The text a value would be written with, to be read again as another type.
Tarv::NarrowString TextOf(const Tarv::Any& value)
{
    Tarv::NarrowString text;
    if (const bool* flag = value.Get<bool>())
        text = *flag ? "true" : "false";
    else if (const int* number = value.Get<int>())
        text.AppendInt(*number);
    else if (const Tarv::NarrowString* string = value.Get<Tarv::NarrowString>())
        text = *string;
    return text;
}

bool SameType(const Tarv::Any& a, const Tarv::Any& b)
{
    return (a.Holds<bool>() && b.Holds<bool>()) || (a.Holds<int>() && b.Holds<int>()) ||
           (a.Holds<Tarv::NarrowString>() && b.Holds<Tarv::NarrowString>());
}

// Stores value at path with value's own type; a value of no type stores nothing.
bool Store(Tarv::Registry& registry, const Tarv::NarrowString& path, const Tarv::Any& value)
{
    if (const bool* flag = value.Get<bool>())
        return registry.SetBool(path, *flag);
    if (const int* number = value.Get<int>())
        return registry.SetInt(path, *number);
    if (const Tarv::NarrowString* text = value.Get<Tarv::NarrowString>())
        return registry.SetString(path, *text);
    return false;
}

// Reads text as the type of like (as the settings file's reader would); empty when it doesn't.
Tarv::Any Convert(const Tarv::NarrowString& text, const Tarv::Any& like)
{
    if (like.Holds<bool>()) {
        if (text == "true" || text == "false")
            return Tarv::Any(text == "true");
        return Tarv::Any();
    }
    if (like.Holds<int>()) {
        int number = 0;
        return Tarv::ReadTextInt(text.c_str(), number) ? Tarv::Any(number) : Tarv::Any();
    }
    return Tarv::Any(text);
}

// The name of the number-th kept copy of file: file + ".bad", then file + ".bad.1", ...
Tarv::NarrowString KeptName(const Tarv::NarrowString& file, int number)
{
    Tarv::NarrowString name = file + Settings::BAD_FILE_SUFFIX;
    if (number > 0) {
        name += ".";
        name.AppendInt(number);
    }
    return name;
}

// Moves the host file to the first kept name not taken; the name, or "" when it stays. The move
// never replaces an earlier kept file, even one that another copy of the program keeps at the
// same moment: a rename that refuses to replace, else (a file system without one) a link and the
// removal of the old name, else a plain rename to a name not there. A file that can't lose its
// name (another user's, in a shared folder with the sticky bit) stays whole where it is, with no
// second name: the save would write under both.
Tarv::NarrowString MoveAside(const Tarv::NarrowString& hostPath)
{
    for (int number = 0; number < Settings::MAX_BAD_FILES; ++number) {
        const Tarv::NarrowString kept = KeptName(hostPath, number);
        if (renameat2(AT_FDCWD, hostPath.c_str(), AT_FDCWD, kept.c_str(), RENAME_NOREPLACE) == 0)
            return kept;
        if (errno == EEXIST)
            continue;
        if (errno != EINVAL && errno != ENOSYS)
            return Tarv::NarrowString();
        if (link(hostPath.c_str(), kept.c_str()) == 0) {
            if (unlink(hostPath.c_str()) == 0)
                return kept;
            unlink(kept.c_str());
            return Tarv::NarrowString();
        }
        if (errno == EEXIST)
            continue;
        // A file system without hard links.
        struct stat info;
        if (lstat(kept.c_str(), &info) == 0)
            continue;
        if (errno == ENOENT && std::rename(hostPath.c_str(), kept.c_str()) == 0)
            return kept;
        return Tarv::NarrowString();
    }
    return Tarv::NarrowString();
}

// Copies a file that is not on a host folder to the first kept name not taken, through the
// file system; the name, or "" when no copy was made.
Tarv::NarrowString CopyAside(const Tarv::NarrowString& path)
{
    Tarv::SmartPtr<Tarv::File> in(Tarv::VfsOpenRead(path.c_str()));
    if (!in)
        return Tarv::NarrowString();
    auto taken = [&path](int number) {
        return bool(Tarv::SmartPtr<Tarv::File>(Tarv::VfsOpenRead(KeptName(path, number).c_str())));
    };
    int number = 0;
    while (number < Settings::MAX_BAD_FILES && taken(number))
        ++number;
    if (number == Settings::MAX_BAD_FILES)
        return Tarv::NarrowString();
    const Tarv::NarrowString kept = KeptName(path, number);
    Tarv::SmartPtr<Tarv::File> out(Tarv::VfsOpenWrite(kept.c_str()));
    if (!out)
        return Tarv::NarrowString();
    std::vector<char> piece(COPY_PIECE);
    int got = 0;
    while ((got = in->Read(piece.data(), COPY_PIECE)) > 0) {
        if (out->Write(piece.data(), got) != got)
            return Tarv::NarrowString();
    }
    return kept;
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
    m_userFileHeld = false;
    m_keptUserFile.clear();
    m_loadError.clear();
    m_unreadableKeys.clear();
    m_unreadableTexts.clear();
    Tarv::Registry* registry = GetRegistry();
    if (registry == nullptr)
        return false;

    if (!force) {
        switch (LoadUserFile(*registry)) {
        case UserFileState::LOADED:
            m_fromUserFile = true;
            for (const Tarv::NarrowString& path : m_unreadableTexts)
                m_unreadableKeys.push_back(UnreadableKey{path, false});
            return true;
        case UserFileState::DAMAGED: {
            const Tarv::NarrowString kept = KeepBadUserFile();
            m_userFileHeld = kept.empty();
            m_loadError = "settings file " + UserFileName() + " does not load: " +
                          (kept.empty() ? "it could not be kept aside, so nothing is saved over it"
                                        : "kept as " + kept);
            break;
        }
        case UserFileState::UNREADABLE:
        case UserFileState::MISSING:
            break;
        }
    }
    return LoadDefaults();
}

Tarv::NarrowString Settings::UserFileName() const
{
    const Tarv::NarrowString hostPath = Tarv::AtomicFileWriter::GetHostPath(m_userFile.c_str());
    return hostPath.empty() ? m_userFile : hostPath;
}

Settings::UserFileState Settings::LoadUserFile(Tarv::Registry& registry)
{
    const Tarv::NarrowString hostPath = Tarv::AtomicFileWriter::GetHostPath(m_userFile.c_str());
    if (hostPath.empty()) {
        // Not on a host folder: only what the file system offers, where a file that can't be
        // opened is a missing one.
        if (registry.LoadFile(m_userFile, false, m_root, &m_unreadableTexts))
            return UserFileState::LOADED;
        Tarv::SmartPtr<Tarv::File> present(Tarv::VfsOpenRead(m_userFile.c_str()));
        return present ? UserFileState::DAMAGED : UserFileState::MISSING;
    }
    Tarv::NarrowString text, why;
    int error = 0;
    if (!ReadHostFile(hostPath, text, error, why)) {
        // No file, or no folder for it: a first start.
        if (error == ENOENT || error == ENOTDIR)
            return UserFileState::MISSING;
        m_userFileHeld = true;
        m_loadError = "settings file " + hostPath + " cannot be read: " + why +
                      "; it is left as it is, the defaults are used and nothing is saved over it";
        return UserFileState::UNREADABLE;
    }
    if (registry.LoadString(text, false, m_root, &m_unreadableTexts))
        return UserFileState::LOADED;
    m_unreadableTexts.clear();
    return UserFileState::DAMAGED;
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
    const Tarv::NarrowString target = UserFileName();
    Tarv::Registry* registry = GetRegistry();
    const Tarv::NarrowString noFolder = Tarv::AtomicFileWriter::GetMissingFolderReason(m_userFile.c_str());
    Tarv::WriteFailure failure;
    if (registry == nullptr || m_root.empty())
        m_saveError = "settings not saved to " + target + ": no settings were loaded";
    else if (m_userFileHeld)
        m_saveError = "settings not saved to " + target + ": the file there did not load at start and is kept as it is";
    else if (!m_fromUserFile && !m_defaultsLoaded)
        m_saveError = "settings not saved to " + target + ": the defaults (" + m_defaultsFile + ") did not load";
    else if (!noFolder.empty())
        m_saveError = "settings not saved to " + target + ": " + noFolder;
    else if (!registry->SaveFile(m_userFile, m_root, &failure, m_keptUserFile))
        m_saveError = "settings not saved to " + target + ": " + Tarv::DescribeWriteFailure(failure, target);
    else
        return true;
    Tarv::Report("brashwick: %s", m_saveError.c_str());
    return false;
}

Tarv::NarrowString Settings::KeepBadUserFile()
{
    const Tarv::NarrowString hostPath = Tarv::AtomicFileWriter::GetHostPath(m_userFile.c_str());
    if (hostPath.empty())
        return CopyAside(m_userFile);
    // A linked user file is kept beside the file it links to, so the link stays for the saves.
    Tarv::NarrowString target;
    m_keptUserFile = MoveAside(Tarv::AtomicFileWriter::FollowLinks(hostPath, target) ? target : hostPath);
    return m_keptUserFile;
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
    const int written = MatchDefaults(*registry, *defaults, m_root, 0);
    ClearScratch(*registry);
    m_unreadableTexts.clear();
    return written;
}

int Settings::MatchDefaults(Tarv::Registry& registry, const Tarv::RegistryNode& node, const Tarv::NarrowString& path,
                            int depth)
{
    if (depth > Tarv::Registry::MAX_DEPTH)
        return 0;
    int written = 0;
    for (const auto& entry : node.GetKeys())
        written += MatchDefault(registry, path + "/" + entry.first, entry.second->GetValue()) ? 1 : 0;
    for (const auto& child : node.GetChildren())
        written += MatchDefaults(registry, *child.second, path + "/" + child.first, depth + 1);
    return written;
}

bool Settings::MatchDefault(Tarv::Registry& registry, const Tarv::NarrowString& keyPath, const Tarv::Any& value)
{
    if (value.IsEmpty())
        return false;
    auto listed = std::find_if(m_unreadableKeys.begin(), m_unreadableKeys.end(),
                               [&keyPath](const UnreadableKey& key) { return key.path == keyPath; });
    Tarv::Any present;
    if (!registry.GetValue(keyPath, present) || present.IsEmpty()) {
        if (!Store(registry, keyPath, value))
            return false;
        if (listed != m_unreadableKeys.end())
            listed->defaulted = true;
        return true;
    }
    const bool textUnread =
        std::find(m_unreadableTexts.begin(), m_unreadableTexts.end(), keyPath) != m_unreadableTexts.end();
    if (!textUnread && SameType(present, value))
        return false;
    // The scripts and the game read these keys by the default's type only.
    const Tarv::Any converted = textUnread ? Tarv::Any() : Convert(TextOf(present), value);
    if (!converted.IsEmpty()) {
        Store(registry, keyPath, converted);
        return false;
    }
    if (!Store(registry, keyPath, value))
        return false;
    if (listed != m_unreadableKeys.end())
        listed->defaulted = true;
    else
        m_unreadableKeys.push_back(UnreadableKey{keyPath, true});
    return true;
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
    if (fps <= 0)
        fps = DEFAULT_LOGIC_FPS;
    return 1.0f / static_cast<float>(fps);
}

} // namespace Quor

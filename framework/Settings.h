// Quor::Settings: the program's configuration, a registry subtree under one root ("/quor"),
// loaded from the user's settings file or else the defaults file, saved back to the user's
// file, and read and written by setting name ("constants/logic_fps").
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"

#include <vector>

namespace Tarv
{
class Any;
class Registry;
class RegistryNode;
}

namespace Quor
{

class Settings : public Tarv::RefCounter
{
public:
    // The logic rate used when "constants/logic_fps" is missing, zero or negative, which has
    // no usable interval: a bad setting slows or speeds the game, never freezes it.
    static constexpr int DEFAULT_LOGIC_FPS = 30;
    // Appended to the user file's name to keep a user file that failed to load; a second one
    // gets ".1" after that, and so on, so an earlier one is never replaced.
    static constexpr const char* BAD_FILE_SUFFIX = ".bad";
    static constexpr int MAX_BAD_FILES = 1000;

    // The settings service, registered under "Settings" on first use; null when no service
    // registry exists.
    static Settings* GetInstance();

    // root := "/" + name. Unless force is set, loads the user file under the root; when force
    // is set or that fails, loads the defaults file. Returns false when neither file loaded.
    // A user file that was read but does not parse is first moved aside (user file +
    // BAD_FILE_SUFFIX, numbered past any older one; a symbolic link's target is moved and the
    // link stays) so the next Save can't destroy it. One that can't be moved (a folder that
    // takes no new name, another user's file in a shared folder with the sticky bit), one that
    // exists but cannot be read (permissions, an I/O error) and one that is no regular file (a
    // named pipe, a device, a folder: never opened to wait on) are left where they are and no
    // Save of this run replaces them. GetLoadError says which happened. Keys of the user file
    // whose text doesn't read as their type are listed by GetUnreadableKeys. Main thread, at
    // start-up, before any loader thread runs.
    bool Init(const Tarv::NarrowString& name, const Tarv::NarrowString& userFile,
              const Tarv::NarrowString& defaultsFile, bool force);
    // Merges the defaults file over the values under the root; false when it doesn't load.
    bool LoadDefaults();
    // Brings the user's file up to this release's defaults without losing the user's progress
    // and options: adds every key of the defaults that is missing under the root (or is there
    // but unset), and gives each user key its default's type: a value whose text reads as that
    // type is converted, any other (and a key whose text did not read at Init) takes the
    // default's value and joins GetUnreadableKeys. Returns how many keys took a default's
    // value, or -1 when the defaults file doesn't load.
    int AddMissingDefaults();
    // Writes the subtree under the root to the user file (old file replaced only once the new
    // one is complete); false when nothing was written, and GetSaveError then says why (the
    // file's path and the system's reason, through a link also the folder or file that
    // refused the save, or that there is no save folder and which variables were looked at),
    // also on standard error. Settings that hold neither the user's file nor the defaults
    // (both failed to load) are never saved: such a file would pass for the user's at the next
    // start and hide the defaults for good. Nor is a user file that could not be read or kept
    // aside at Init ever replaced. The file that succeeds a damaged one kept aside at Init has
    // the kept file's owner, group and mode, as a save over it would have kept them.
    bool Save();
    // Why the last Save failed; "" after a successful one.
    const Tarv::NarrowString& GetSaveError() const { return m_saveError; }
    // Why the user file was not used at the last Init (it could not be read, or it did not
    // parse and where it was kept); "" when it loaded or did not exist.
    const Tarv::NarrowString& GetLoadError() const { return m_loadError; }
    // A key of the user file that did not keep the file's value at the last Init and
    // AddMissingDefaults: its full registry path, and whether it took its default's value.
    struct UnreadableKey
    {
        Tarv::NarrowString path;
        bool defaulted;
    };
    const std::vector<UnreadableKey>& GetUnreadableKeys() const { return m_unreadableKeys; }

    // The value under root + "/" + name; 0, false or "" when the key is missing, unset or of
    // another type. Reading creates nothing. Safe from the loader thread (the registry locks).
    int GetInt(const Tarv::NarrowString& name) const;
    bool GetBool(const Tarv::NarrowString& name) const;
    Tarv::NarrowString GetString(const Tarv::NarrowString& name) const;
    // Creates the key as needed; false when the registry refused the write (a protected key).
    bool SetInt(const Tarv::NarrowString& name, const int& value);
    bool SetBool(const Tarv::NarrowString& name, const bool& value);
    bool SetString(const Tarv::NarrowString& name, const Tarv::NarrowString& value);

    // One over "constants/logic_fps", or over DEFAULT_LOGIC_FPS when that is unusable.
    float GetLogicInterval() const;

    // True when the last Init loaded the user file, false when it fell back to the defaults.
    bool IsFromUserFile() const { return m_fromUserFile; }
    const Tarv::NarrowString& GetRoot() const { return m_root; }
    const Tarv::NarrowString& GetUserFile() const { return m_userFile; }
    const Tarv::NarrowString& GetDefaultsFile() const { return m_defaultsFile; }

private:
    enum class UserFileState { LOADED, MISSING, DAMAGED, UNREADABLE };

    Tarv::NarrowString GetPath(const Tarv::NarrowString& name) const;
    // The user file's host path, or its virtual path when it has none.
    Tarv::NarrowString UserFileName() const;
    UserFileState LoadUserFile(Tarv::Registry& registry);
    // The name the damaged user file was kept under; "" when it could not be kept. A host file
    // moved aside is also remembered in m_keptUserFile.
    Tarv::NarrowString KeepBadUserFile();
    // Loads the defaults file under a scratch node; null when it doesn't load. ClearScratch
    // empties that node again.
    Tarv::RegistryNode* LoadDefaultsAside(Tarv::Registry& registry) const;
    static void ClearScratch(Tarv::Registry& registry);
    // AddMissingDefaults for the defaults' node at path and below.
    int MatchDefaults(Tarv::Registry& registry, const Tarv::RegistryNode& node, const Tarv::NarrowString& path,
                      int depth);
    // The same for one key and its default's value; true when the key took that value.
    bool MatchDefault(Tarv::Registry& registry, const Tarv::NarrowString& keyPath, const Tarv::Any& value);

    Tarv::NarrowString m_root;
    Tarv::NarrowString m_userFile;
    Tarv::NarrowString m_defaultsFile;
    bool m_fromUserFile = false;
    bool m_defaultsLoaded = false;
    // The user file is there but was neither loaded nor kept aside: no Save may replace it.
    bool m_userFileHeld = false;
    // The host file a damaged user file was moved to at Init; "" when none was.
    Tarv::NarrowString m_keptUserFile;
    Tarv::NarrowString m_saveError;
    Tarv::NarrowString m_loadError;
    std::vector<UnreadableKey> m_unreadableKeys;
    // Paths of the user file's keys whose text did not read as their type.
    std::vector<Tarv::NarrowString> m_unreadableTexts;
};

} // namespace Quor

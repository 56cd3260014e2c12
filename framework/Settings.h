// Quor::Settings: the program's configuration, a registry subtree under one root ("/quor"),
// loaded from the user's settings file or else the defaults file, saved back to the user's
// file, and read and written by setting name ("constants/logic_fps").
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"

#include <vector>

namespace Tarv
{
class Registry;
class RegistryNode;
}

namespace Quor
{

class Settings : public Tarv::RefCounter
{
public:
    // The logic rate used when "constants/logic_fps" is missing, zero, negative or above
    // MAX_LOGIC_FPS: a bad setting slows or speeds the game, never freezes it.
    static constexpr int DEFAULT_LOGIC_FPS = 30;
    static constexpr int MAX_LOGIC_FPS = 1000;
    // The node under the root that holds values shared at run time (see Init).
    static constexpr const char* RUNTIME_NODE = "runtime";
    // Appended to the user file's name to keep a user file that failed to load.
    static constexpr const char* BAD_FILE_SUFFIX = ".bad";

    // The settings service, registered under "Settings" on first use; null when no service
    // registry exists.
    static Settings* GetInstance();

    // root := "/" + name. Unless force is set, loads the user file under the root; when force
    // is set or that fails, loads the defaults file. A user file that exists but fails to load
    // is first moved aside whatever its size (user file + BAD_FILE_SUFFIX, replacing an older
    // one) so the next Save can't destroy it. Keys of the user file whose value doesn't read as
    // their type get no value; GetUnreadableKeys lists them.
    // Run-time values are not carried from one run to the next: after the user file loads,
    // the runtime node starts again from the defaults file's runtime node. Returns false when
    // neither file loaded. Main thread, at start-up, before any loader thread runs.
    bool Init(const Tarv::NarrowString& name, const Tarv::NarrowString& userFile,
              const Tarv::NarrowString& defaultsFile, bool force);
    // Merges the defaults file over the values under the root; false when it doesn't load.
    bool LoadDefaults();
    // Adds every key of the defaults file that is missing under the root (or is there but
    // unset), keeping the user's values and types; returns how many keys were added, or -1 when
    // the defaults file doesn't load. How a settings file from another release, or one that
    // lost keys, is brought up to date without losing the user's progress and options.
    int AddMissingDefaults();
    // Writes the subtree under the root to the user file (old file replaced only once the new
    // one is complete); false when nothing was written, and GetSaveError then says why (the
    // file's path and the system's reason). Settings that hold neither the user's file nor the
    // defaults (both failed to load) are never saved: such a file would pass for the user's
    // at the next start and hide the defaults for good.
    bool Save();
    // Why the last Save failed; "" after a successful one.
    const Tarv::NarrowString& GetSaveError() const { return m_saveError; }
    // Full registry paths of the user file's keys that got no value at the last Init.
    const std::vector<Tarv::NarrowString>& GetUnreadableKeys() const { return m_unreadableKeys; }

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
    Tarv::NarrowString GetPath(const Tarv::NarrowString& name) const;
    void KeepBadUserFile() const;
    void ResetRuntimeKeys(Tarv::Registry& registry) const;
    // Loads the defaults file under a scratch node; null when it doesn't load. ClearScratch
    // empties that node again.
    Tarv::RegistryNode* LoadDefaultsAside(Tarv::Registry& registry) const;
    static void ClearScratch(Tarv::Registry& registry);

    Tarv::NarrowString m_root;
    Tarv::NarrowString m_userFile;
    Tarv::NarrowString m_defaultsFile;
    bool m_fromUserFile = false;
    bool m_defaultsLoaded = false;
    Tarv::NarrowString m_saveError;
    std::vector<Tarv::NarrowString> m_unreadableKeys;
};

} // namespace Quor

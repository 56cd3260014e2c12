// Tarv::MaemoGameSaveFile: a host file named by a save name and kept in the user's
// configuration directory ("Brashwick" under XDG_CONFIG_HOME, or under HOME/.config).
#pragma once

#include "engine/vfs/PosixFile.h"

namespace Tarv
{

class MaemoGameSaveFile : public PosixFile
{
public:
    // Why there is no save folder when neither variable gives one.
    static constexpr const char* NO_SAVE_FOLDER =
        "there is no folder to save in: XDG_CONFIG_HOME and HOME are both unset or empty";

    // The host path of a save name: GetSaveFolder() + "/" + name. Empty when there is no save
    // folder, or when the name is empty, absolute or has a ".." component.
    static NarrowString GetSavePath(const char* saveName);
    // base + "/Brashwick", where base is XDG_CONFIG_HOME when it is set and not empty (a relative
    // value counts from the working folder), else HOME + "/.config" when HOME is set and not
    // empty; empty when neither is.
    static NarrowString GetSaveFolder();

    bool OpenRead(const char* saveName) override;
    // Creates every missing directory on the way (mode 0700) first; false when one can't be
    // made or a part of the path exists as something other than a directory.
    bool OpenWrite(const char* saveName) override;
};

} // namespace Tarv

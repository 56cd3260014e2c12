// Save names mapped into the user's configuration directory, created on first write.
#include "engine/vfs/MaemoGameSaveFile.h"

#include "engine/vfs/VfsPath.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace Tarv
{

namespace
{

const char* const PRODUCT_TITLE = "Brashwick";

bool IsDirectory(const NarrowString& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Makes directory and every missing parent with mode 0700.
bool MakeDirectories(const NarrowString& directory)
{
    struct stat info;
    if (stat(directory.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    if (errno != ENOENT)
        return false;
    for (std::size_t slash = directory.find('/', 1); slash != NarrowString::npos;
         slash = directory.find('/', slash + 1)) {
        const NarrowString part(directory.substr(0, slash));
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    if (mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    return IsDirectory(directory);
}

} // namespace

NarrowString MaemoGameSaveFile::GetSavePath(const char* saveName)
{
    if (saveName == nullptr || saveName[0] == '\0' || !IsConfinedPath(saveName))
        return NarrowString();
    const NarrowString folder = GetSaveFolder();
    if (folder.empty())
        return NarrowString();
    return folder + "/" + saveName;
}

NarrowString MaemoGameSaveFile::GetSaveFolder()
{
    NarrowString base;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (config != nullptr && config[0] != '\0')
        base = config;
    else if (home != nullptr && home[0] != '\0')
        base = NarrowString(home) + "/.config";
    else
        return NarrowString();
    return base + "/" + PRODUCT_TITLE;
}

bool MaemoGameSaveFile::OpenRead(const char* saveName)
{
    const NarrowString path = GetSavePath(saveName);
    if (path.empty()) {
        Close();
        return false;
    }
    return PosixFile::OpenRead(path.c_str());
}

bool MaemoGameSaveFile::OpenWrite(const char* saveName)
{
    Close();
    const NarrowString path = GetSavePath(saveName);
    if (path.empty())
        return false;
    const std::size_t slash = path.rfind('/');
    const NarrowString directory(slash == NarrowString::npos ? path : NarrowString(path.substr(0, slash)));
    if (!MakeDirectories(directory))
        return false;
    return PosixFile::OpenWrite(path.c_str());
}

} // namespace Tarv

// Archives read once per process, their files kept whole in memory.
#include "tools/sim/ArchiveCache.h"

#include "engine/core/RefCounter.h"
#include "engine/vfs/CachedFile.h"
#include "engine/vfs/PakMount.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <vector>

#include <sys/stat.h>

namespace Pirrock
{

namespace
{

// One archive and the files read out of it, by their lower-case path (the archive's lookup
// ignores case too). A file that is not there is remembered as such.
class ArchiveFiles : public Tarv::RefCounter
{
public:
    ArchiveFiles(const std::string& path, int flags) : m_archive(Tarv::MakeSmart<Tarv::PakMount>(path.c_str(), "", flags))
    {
    }

    bool IsDamaged() const { return m_archive->IsDamaged(); }

    // The whole file, or null when the archive has no such file or it did not read in full.
    const std::vector<std::uint8_t>* Find(const char* relativePath)
    {
        std::string key = relativePath;
        std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
        const auto found = m_files.find(key);
        if (found != m_files.end())
            return found->second.get();
        std::unique_ptr<std::vector<std::uint8_t>> bytes;
        Tarv::SmartPtr<Tarv::File> file(m_archive->OpenRead(relativePath));
        const int size = file ? file->GetSize() : -1;
        if (size >= 0) {
            bytes = std::make_unique<std::vector<std::uint8_t>>(static_cast<std::size_t>(size));
            if (size > 0 && file->Read(bytes->data(), size) != size)
                bytes.reset();
        }
        return m_files.emplace(key, std::move(bytes)).first->second.get();
    }

private:
    Tarv::SmartPtr<Tarv::PakMount> m_archive;
    std::map<std::string, std::unique_ptr<std::vector<std::uint8_t>>> m_files;
};

// A mount of the current list over shared archive files; its files read the shared bytes,
// which live as long as the process.
class CachedMount : public Tarv::VfsMount
{
public:
    CachedMount(const Tarv::SmartPtr<ArchiveFiles>& files, int flags) : VfsMount("", flags), m_files(files) {}

    Tarv::File* OpenRead(const char* relativePath) override
    {
        const std::vector<std::uint8_t>* bytes = m_files->Find(relativePath);
        if (bytes == nullptr)
            return nullptr;
        static const std::uint8_t EMPTY = 0;
        return new Tarv::CachedFile(bytes->empty() ? &EMPTY : bytes->data(), static_cast<int>(bytes->size()), false);
    }
    Tarv::File* OpenWrite(const char*) override { return nullptr; }

private:
    Tarv::SmartPtr<ArchiveFiles> m_files;
};

// The archive as it is on disk now: a file written again in between is another archive.
std::string Identity(const std::string& path, int flags)
{
    struct stat status = {};
    if (stat(path.c_str(), &status) != 0)
        return {};
    return path + '\n' + std::to_string(status.st_size) + '\n' + std::to_string(status.st_mtim.tv_sec) + '.' +
           std::to_string(status.st_mtim.tv_nsec) + '\n' + std::to_string(flags);
}

} // namespace

Tarv::SmartPtr<Tarv::VfsMount> MountCachedArchive(const std::string& path, int flags, std::string& error)
{
    static std::map<std::string, Tarv::SmartPtr<ArchiveFiles>> archives;
    const std::string identity = Identity(path, flags);
    if (identity.empty()) {
        error = path + " is missing";
        return {};
    }
    Tarv::SmartPtr<ArchiveFiles>& files = archives[identity];
    if (!files)
        files = Tarv::MakeSmart<ArchiveFiles>(path, flags);
    if (files->IsDamaged()) {
        error = path + " is damaged";
        archives.erase(identity);
        return {};
    }
    return Tarv::MakeSmart<CachedMount>(files, flags);
}

} // namespace Pirrock

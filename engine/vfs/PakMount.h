// Tarv::PakMount: an archive mounted into the virtual file system: the PAK directory of named
// entries inside a chunked LZMA container, looked up case-insensitively.
#pragma once

#include "engine/vfs/CompressedFile.h"
#include "engine/vfs/VfsMount.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace Tarv
{

struct PakEntry
{
    std::uint32_t nameOffset; // into the names block
    std::uint32_t dataOffset; // position in the uncompressed content
    std::uint32_t dataSize;
};

class PakMount : public VfsMount
{
public:
    // Opens the container and reads its directory. An archive that can't be opened, or whose
    // directory is damaged (counts or sizes beyond the content, name offsets outside the names
    // block, data ranges past the content), is mounted with an empty directory: every lookup
    // misses, and IsDamaged tells why. The names' order is not checked: see Find.
    PakMount(const char* archivePath, const char* prefix, int flags);

    // True when the archive could not be read as a container with a sound directory; a
    // directory that is empty by its own count (0) is sound. A negative count is damage.
    bool IsDamaged() const { return m_damaged; }

    // A new VirtualFile (count 0) for the entry named relativePath (case-insensitive), or null.
    File* OpenRead(const char* relativePath) override;
    File* OpenWrite(const char*) override { return nullptr; }

    // The entry named path, or null: a binary search under strcasecmp, which relies on the
    // directory being sorted that way (an entry it passes by in an unsorted directory is not
    // found; of repeated names, the one it meets). Takes no lock: the directory never changes
    // once read.
    const PakEntry* Find(const char* path) const;
    int GetEntryCount() const { return static_cast<int>(m_entries.size()); }
    const PakEntry& GetEntry(int index) const { return m_entries[static_cast<std::size_t>(index)]; }
    const char* GetName(const PakEntry& entry) const { return m_names.data() + entry.nameOffset; }

    // Copies up to count bytes of the entry from offset into buffer; the one way to the shared
    // container, serialised by this archive's mutex. Any thread may call it.
    int ReadEntry(const PakEntry& entry, int offset, void* buffer, int count);

private:
    bool ReadDirectory();
    bool ReadExactly(std::vector<std::uint8_t>& bytes, std::uint32_t size);
    bool CheckDirectory();

    std::mutex m_mutex;
    CompressedFile m_container;
    std::vector<PakEntry> m_entries;
    std::vector<char> m_names; // the names block with a NUL appended
    bool m_damaged = false;
};

// Mounts the archive at the head of the mount list when the file exists; null (nothing
// mounted) when it can't be opened. The list owns the mount. A damaged archive is mounted
// empty; the caller can ask the mount (IsDamaged) and report it.
PakMount* VfsMountPak(const NarrowString& archivePath, const char* prefix, int flags);

} // namespace Tarv

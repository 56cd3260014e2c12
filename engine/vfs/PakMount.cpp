// Reading and checking the PAK directory, entry lookup, and locked entry reads.
#include "engine/vfs/PakMount.h"

#include "engine/vfs/Vfs.h"
#include "engine/vfs/VirtualFile.h"

#include <strings.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace Tarv
{

namespace
{

constexpr std::uint32_t ENTRY_BYTES = 12;
// Directory parts are read in pieces, so a wild count costs no more memory than the bytes that
// actually arrive.
constexpr std::uint32_t READ_PIECE = 1u << 16;

std::uint32_t ReadU32(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

} // namespace

PakMount::PakMount(const char* archivePath, const char* prefix, int flags) : VfsMount(prefix, flags)
{
    if (!m_container.OpenRead(archivePath) || !ReadDirectory() || !CheckDirectory()) {
        m_entries.clear();
        m_names.clear();
        m_damaged = true;
    }
}

bool PakMount::ReadExactly(std::vector<std::uint8_t>& bytes, std::uint32_t size)
{
    bytes.clear();
    while (bytes.size() < size) {
        const std::size_t piece = std::min<std::size_t>(READ_PIECE, size - bytes.size());
        const std::size_t at = bytes.size();
        bytes.resize(at + piece);
        if (m_container.Read(bytes.data() + at, static_cast<int>(piece)) != static_cast<int>(piece))
            return false;
    }
    return true;
}

bool PakMount::ReadDirectory()
{
    const std::uint64_t content = static_cast<std::uint64_t>(m_container.GetSize());
    std::vector<std::uint8_t> bytes;
    if (!ReadExactly(bytes, 4))
        return false;
    const std::int32_t count = static_cast<std::int32_t>(ReadU32(bytes.data()));
    if (count < 0)
        return false;
    if (count == 0)
        return true;
    // The count and the names size come from the file: bound them by the content first.
    if (8 + static_cast<std::uint64_t>(count) * ENTRY_BYTES > content)
        return false;
    if (!ReadExactly(bytes, static_cast<std::uint32_t>(count) * ENTRY_BYTES))
        return false;
    m_entries.resize(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const std::uint8_t* entry = bytes.data() + i * ENTRY_BYTES;
        m_entries[i] = PakEntry{ReadU32(entry), ReadU32(entry + 4), ReadU32(entry + 8)};
    }
    if (!ReadExactly(bytes, 4))
        return false;
    const std::int32_t namesSize = static_cast<std::int32_t>(ReadU32(bytes.data()));
    const std::uint64_t directorySize = 8 + static_cast<std::uint64_t>(count) * ENTRY_BYTES;
    if (namesSize < 1 || directorySize + static_cast<std::uint64_t>(namesSize) > content)
        return false;
    if (!ReadExactly(bytes, static_cast<std::uint32_t>(namesSize)))
        return false;
    m_names.assign(bytes.begin(), bytes.end());
    m_names.push_back('\0');
    return true;
}

bool PakMount::CheckDirectory()
{
    const std::uint64_t content = static_cast<std::uint64_t>(m_container.GetSize());
    for (const PakEntry& entry : m_entries) {
        // The appended NUL is not part of the block: a name must start inside it.
        if (entry.nameOffset >= m_names.size() - 1)
            return false;
        if (static_cast<std::uint64_t>(entry.dataOffset) + entry.dataSize > content)
            return false;
    }
    return true;
}

const PakEntry* PakMount::Find(const char* path) const
{
    if (path == nullptr)
        return nullptr;
    // The archive writer sorts the names; a directory that isn't sorted is searched all the
    // same, and a name the search passes by is simply not found.
    std::ptrdiff_t low = 0;
    std::ptrdiff_t high = static_cast<std::ptrdiff_t>(m_entries.size()) - 1;
    while (low <= high) {
        const std::ptrdiff_t middle = low + (high - low) / 2;
        const PakEntry& entry = m_entries[static_cast<std::size_t>(middle)];
        const int order = strcasecmp(path, GetName(entry));
        if (order == 0)
            return &entry;
        if (order < 0)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return nullptr;
}

File* PakMount::OpenRead(const char* relativePath)
{
    const PakEntry* entry = Find(relativePath);
    return entry != nullptr ? new VirtualFile(this, entry) : nullptr;
}

int PakMount::ReadEntry(const PakEntry& entry, int offset, void* buffer, int count)
{
    if (offset < 0 || count < 1 || static_cast<std::uint32_t>(offset) >= entry.dataSize)
        return 0;
    count = static_cast<int>(std::min<std::uint32_t>(static_cast<std::uint32_t>(count), entry.dataSize - static_cast<std::uint32_t>(offset)));
    // dataOffset + dataSize was checked against the content size, which is below 2 GiB.
    const int position = static_cast<int>(entry.dataOffset + static_cast<std::uint32_t>(offset));
    std::lock_guard<std::mutex> lock(m_mutex);
    m_container.Seek(position, SEEK_ORIGIN_START);
    return m_container.Read(buffer, count);
}

PakMount* VfsMountPak(const NarrowString& archivePath, const char* prefix, int flags)
{
    PosixFile probe;
    if (!probe.OpenRead(archivePath.c_str()))
        return nullptr;
    probe.Close();
    PakMount* mount = new PakMount(archivePath.c_str(), prefix, flags);
    SmartPtr<VfsMount> held(mount);
    VfsAddMount(mount);
    // Before VfsInit nothing holds the mount and it is gone with `held`.
    return held->GetRefCount() > 1 ? mount : nullptr;
}

} // namespace Tarv

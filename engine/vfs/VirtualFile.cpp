// Tarv::VirtualFile: positions within one entry, reads through the archive's locked reader.
#include "engine/vfs/VirtualFile.h"

#include "engine/vfs/PakMount.h"

#include <algorithm>

namespace Tarv
{

VirtualFile::VirtualFile(PakMount* mount, const PakEntry* entry) : m_mount(mount), m_entry(entry)
{
}

int VirtualFile::Read(void* buffer, int count)
{
    if (m_entry == nullptr || buffer == nullptr || count < 1)
        return 0;
    const int got = m_mount->ReadEntry(*m_entry, m_position, buffer, count);
    if (got > 0)
        m_position += got;
    return got;
}

bool VirtualFile::Seek(int offset, int origin)
{
    if (m_entry == nullptr)
        return false;
    const long long size = m_entry->dataSize;
    long long target = 0;
    if (origin == SEEK_ORIGIN_START)
        target = offset;
    else if (origin == SEEK_ORIGIN_CURRENT)
        target = static_cast<long long>(m_position) + offset;
    else if (origin == SEEK_ORIGIN_END)
        target = size + offset;
    else
        return true;
    m_position = static_cast<int>(std::clamp<long long>(target, 0, size));
    return true;
}

int VirtualFile::GetSize()
{
    return m_entry == nullptr ? -1 : static_cast<int>(m_entry->dataSize);
}

bool VirtualFile::Close()
{
    m_entry = nullptr;
    return true;
}

} // namespace Tarv

// Tarv::CachedFile: reads a whole file into memory and serves reads from there.
#include "engine/vfs/CachedFile.h"

#include "engine/core/SmartPtr.h"
#include "engine/vfs/Vfs.h"

#include <cstring>

namespace Tarv
{

CachedFile::CachedFile(const void* data, int size, bool copy)
{
    if (data == nullptr || size < 0)
        return;
    m_size = size;
    if (!copy) {
        m_data = static_cast<const std::uint8_t*>(data);
        return;
    }
    m_owned.reset(new std::uint8_t[static_cast<std::size_t>(size)]);
    std::memcpy(m_owned.get(), data, static_cast<std::size_t>(size));
    m_data = m_owned.get();
}

int CachedFile::Read(void* buffer, int count)
{
    if (m_data == nullptr || buffer == nullptr || count < 1)
        return 0;
    if (m_position < 0 || m_position >= m_size)
        return 0;
    if (count > m_size - m_position)
        count = m_size - m_position;
    std::memcpy(buffer, m_data + m_position, static_cast<std::size_t>(count));
    m_position += count;
    return count;
}

bool CachedFile::Seek(int offset, int origin)
{
    if (m_data == nullptr)
        return false;
    // 64-bit sums: a wild offset must not overflow; the result is kept within int.
    long long base = 0;
    if (origin == SEEK_ORIGIN_CURRENT)
        base = m_position;
    else if (origin == SEEK_ORIGIN_END)
        base = m_size;
    else if (origin != SEEK_ORIGIN_START)
        return false;
    long long target = base + offset;
    if (target > INT32_MAX)
        target = INT32_MAX;
    if (target < INT32_MIN)
        target = INT32_MIN;
    m_position = static_cast<int>(target);
    return true;
}

bool CachedFile::OpenRead(const char* path)
{
    Close();
    SmartPtr<File> source(VfsOpenRead(path));
    if (!source)
        return false;
    if (!source->Seek(0, SEEK_ORIGIN_END))
        return false;
    const int size = source->Tell();
    if (size < 0 || !source->Seek(0, SEEK_ORIGIN_START))
        return false;

    std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[static_cast<std::size_t>(size) + 1]);
    int got = 0;
    while (got < size) {
        const int step = source->Read(bytes.get() + got, size - got);
        if (step < 1)
            break;
        got += step;
    }
    // A short read would leave bytes that no file held for decoders to consume.
    if (got != size)
        return false;

    m_owned = std::move(bytes);
    m_data = m_owned.get();
    m_size = size;
    m_position = 0;
    return true;
}

bool CachedFile::OpenWrite(const char*)
{
    Close();
    return false;
}

bool CachedFile::Close()
{
    m_owned.reset();
    m_data = nullptr;
    m_size = 0;
    return true;
}

} // namespace Tarv

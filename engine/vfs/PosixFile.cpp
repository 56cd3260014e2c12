// Tarv::PosixFile over stdio; every access marks the disk-activity flag.
#include "engine/vfs/PosixFile.h"

#include "engine/vfs/DiskActivity.h"

#include <climits>

namespace Tarv
{

PosixFile::~PosixFile()
{
    SetDiskActivity();
    if (m_handle != nullptr)
        std::fclose(m_handle);
}

bool PosixFile::Open(const char* path, const char* mode)
{
    Close();
    if (path == nullptr)
        return false;
    m_handle = std::fopen(path, mode);
    return m_handle != nullptr;
}

bool PosixFile::OpenRead(const char* path)
{
    return Open(path, "rb");
}

bool PosixFile::OpenWrite(const char* path)
{
    return Open(path, "wb");
}

bool PosixFile::Close()
{
    SetDiskActivity();
    if (m_handle != nullptr)
        std::fclose(m_handle);
    m_handle = nullptr;
    return true;
}

int PosixFile::Read(void* buffer, int count)
{
    if (m_handle == nullptr || buffer == nullptr || count < 1)
        return 0;
    SetDiskActivity();
    return static_cast<int>(std::fread(buffer, 1, static_cast<std::size_t>(count), m_handle));
}

int PosixFile::Write(const void* buffer, int count)
{
    if (m_handle == nullptr || buffer == nullptr || count < 1)
        return 0;
    SetDiskActivity();
    return static_cast<int>(std::fwrite(buffer, 1, static_cast<std::size_t>(count), m_handle));
}

bool PosixFile::Seek(int offset, int origin)
{
    if (m_handle == nullptr)
        return false;
    if (origin != SEEK_ORIGIN_START && origin != SEEK_ORIGIN_CURRENT && origin != SEEK_ORIGIN_END)
        return false;
    SetDiskActivity();
    return std::fseek(m_handle, offset, origin) == 0;
}

int PosixFile::Tell()
{
    if (m_handle == nullptr)
        return 0;
    SetDiskActivity();
    const long position = std::ftell(m_handle);
    return position < 0 ? 0 : static_cast<int>(position > INT_MAX ? INT_MAX : position);
}

int PosixFile::GetSize()
{
    if (m_handle == nullptr)
        return 0;
    SetDiskActivity();
    const long position = std::ftell(m_handle);
    if (position < 0 || std::fseek(m_handle, 0, SEEK_END) != 0)
        return 0;
    const long size = std::ftell(m_handle);
    std::fseek(m_handle, position, SEEK_SET);
    if (size < 0)
        return 0;
    // Positions are 32-bit: a larger host file reports the largest size they can reach.
    return static_cast<int>(size > INT_MAX ? INT_MAX : size);
}

} // namespace Tarv

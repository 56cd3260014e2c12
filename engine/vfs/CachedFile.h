// Tarv::CachedFile: a whole file held in memory, so reading it costs no further disk or
// archive access (compressed sounds are played from one).
#pragma once

#include "engine/vfs/File.h"

#include <cstdint>
#include <memory>

namespace Tarv
{

class CachedFile : public File
{
public:
    CachedFile() = default;
    // Over size bytes at data: with copy true the file keeps its own copy; with copy false it
    // reads the caller's buffer, which must outlive it.
    CachedFile(const void* data, int size, bool copy);
    CachedFile(const CachedFile&) = delete;
    CachedFile& operator=(const CachedFile&) = delete;

    // 0 without data or while the position lies outside the data.
    int Read(void* buffer, int count) override;
    int Write(const void*, int) override { return 0; }
    bool IsOpen() const override { return m_data != nullptr; }
    // The position is not clamped: a seek past either end makes the next Read return 0.
    bool Seek(int offset, int origin) override;
    int Tell() override { return m_data == nullptr ? 0 : m_position; }
    int GetSize() override { return m_size; }

    // Loads the whole virtual path through the file system. False when the path is not found
    // or fewer bytes arrive than its size (nothing is kept then).
    bool OpenRead(const char* path);
    // A cached file is read-only: closes and returns false.
    bool OpenWrite(const char* path);
    // Drops the data (freed when owned); the position stays until the next OpenRead.
    bool Close();

private:
    const std::uint8_t* m_data = nullptr;
    std::unique_ptr<std::uint8_t[]> m_owned;
    int m_size = 0;
    int m_position = 0;
};

} // namespace Tarv

// Tarv::PosixFile: a host file read or written through stdio.
#pragma once

#include "engine/vfs/File.h"

#include <cstdio>

namespace Tarv
{

class PosixFile : public File
{
public:
    PosixFile() = default;
    ~PosixFile() override;
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    bool IsOpen() const override { return m_handle != nullptr; }
    // False while closed or for an unknown origin (the position stays).
    bool Seek(int offset, int origin) override;
    int Tell() override;
    // Total bytes (0 while closed); the position is left where it was.
    int GetSize() override;

    // Each closes whatever is open first (through the virtual Close) and returns whether the
    // path opened; OpenWrite creates or truncates.
    virtual bool OpenWrite(const char* path);
    virtual bool OpenRead(const char* path);
    virtual bool Close();

protected:
    std::FILE* GetHandle() const { return m_handle; }

private:
    bool Open(const char* path, const char* mode);

    std::FILE* m_handle = nullptr;
};

} // namespace Tarv

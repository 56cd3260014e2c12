// Tarv::VirtualFile: one archive entry read as a stream; it keeps its archive alive.
#pragma once

#include "engine/core/SmartPtr.h"
#include "engine/vfs/File.h"

namespace Tarv
{

class PakMount;
struct PakEntry;

class VirtualFile : public File
{
public:
    // entry must be one of mount's entries.
    VirtualFile(PakMount* mount, const PakEntry* entry);

    // Reads from the entry at the position (0 when closed or at the entry's end). Safe while
    // other threads read other entries of the same archive.
    int Read(void* buffer, int count) override;
    int Write(const void*, int) override { return 0; }
    // False when closed; the position is clamped to the entry; an unknown origin keeps it.
    bool Seek(int offset, int origin) override;
    int Tell() override { return m_position; }
    // The entry's size, -1 when closed.
    int GetSize() override;

    // Forgets the entry; true.
    bool Close();

private:
    SmartPtr<PakMount> m_mount;
    const PakEntry* m_entry;
    int m_position = 0;
};

} // namespace Tarv

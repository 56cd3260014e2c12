// Tarv::SeekableStream: a stream with a position that can be moved and a known size.
#pragma once

#include "engine/vfs/IOStream.h"

namespace Tarv
{

// Seek origins, as stdio numbers them.
constexpr int SEEK_ORIGIN_START = 0;
constexpr int SEEK_ORIGIN_CURRENT = 1;
constexpr int SEEK_ORIGIN_END = 2;

class SeekableStream : public IOStream
{
public:
    // Moves the position by offset from origin (SEEK_ORIGIN_*); what an out-of-range result does
    // is up to each class, and each says so.
    virtual bool Seek(int offset, int origin) = 0;
    virtual int Tell() = 0;
    virtual int GetSize() = 0;
};

} // namespace Tarv

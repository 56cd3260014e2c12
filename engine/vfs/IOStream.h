// Tarv::IOStream: the one byte-stream interface every loader reads and writes through,
// whatever the bytes come from (host file, memory, archive entry).
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"

namespace Tarv
{

class IOStream : public RefCounter
{
public:
    ~IOStream() override = default;

    // Copies up to count bytes from the position and advances it; returns the bytes copied
    // (0 at the end, on failure, or for a count below 1).
    virtual int Read(void* buffer, int count) = 0;
    // Writes count bytes at the position; returns the bytes written (0 on a read-only stream).
    virtual int Write(const void* buffer, int count) = 0;
    // Appends one line to line, reading byte by byte through Read: the bytes up to the next
    // line feed, which is consumed but not stored (a carriage return before it stays). Always
    // true, also at the end of the stream, where the line is left unchanged: a loop over lines
    // must stop on the stream's own end (Tell against GetSize), not on this result.
    virtual bool ReadLine(NarrowString& line);
    virtual bool IsOpen() const { return true; }
};

} // namespace Tarv

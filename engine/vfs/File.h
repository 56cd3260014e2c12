// Tarv::File: the seekable stream kind that the virtual file system hands out.
#pragma once

#include "engine/vfs/SeekableStream.h"

namespace Tarv
{

class File : public SeekableStream
{
};

} // namespace Tarv

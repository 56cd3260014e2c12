// The line reader shared by every stream kind.
#include "engine/vfs/IOStream.h"

namespace Tarv
{

bool IOStream::ReadLine(NarrowString& line)
{
    char byte = 0;
    while (Read(&byte, 1) >= 1 && byte != '\n')
        line.push_back(byte);
    return true;
}

} // namespace Tarv

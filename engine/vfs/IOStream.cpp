// The line reader shared by every stream kind.
#include "engine/vfs/IOStream.h"

namespace Tarv
{

bool IOStream::ReadLine(NarrowString& line)
{
    bool gotAny = false;
    char byte = 0;
    while (Read(&byte, 1) == 1) {
        gotAny = true;
        if (byte == '\n')
            break;
        line.push_back(byte);
    }
    return gotAny;
}

} // namespace Tarv

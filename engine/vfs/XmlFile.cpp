// Reading XML documents through streams and the virtual file system.
#include "engine/vfs/XmlFile.h"

#include "engine/core/SmartPtr.h"
#include "engine/vfs/File.h"
#include "engine/vfs/IOStream.h"
#include "engine/vfs/Vfs.h"

#include <cstddef>

namespace Tarv
{

namespace
{

constexpr int STREAM_CHUNK_SIZE = 1024;

} // namespace

XmlPtr Xml::CreateFromStream(IOStream& stream)
{
    NarrowString text;
    char chunk[STREAM_CHUNK_SIZE];
    for (;;) {
        const int got = stream.Read(chunk, STREAM_CHUNK_SIZE);
        if (got < 1)
            break;
        // A stream never hands back more than it was asked for; don't trust it to.
        text.append(chunk, static_cast<std::size_t>(got < STREAM_CHUNK_SIZE ? got : STREAM_CHUNK_SIZE));
    }
    return Xml::CreateFromString(text);
}

XmlPtr Xml::CreateFromFile(const NarrowString& path)
{
    SmartPtr<File> file(VfsOpenRead(path.c_str()));
    if (!file)
        return XmlPtr();
    return CreateFromStream(*file);
}

XmlPtr::XmlPtr(const NarrowString& path) : SmartPtr<Xml>(Xml::CreateFromFile(path)) {}

} // namespace Tarv

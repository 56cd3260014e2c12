// XML documents read from streams and from the virtual file system (the document itself,
// Tarv::Xml, lives below the file system and parses texts only).
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/Xml.h"

namespace Tarv
{

class IOStream;

// Reads the stream to its end in 1024-byte reads (stopping at the first read below 1 byte),
// then parses the text as Xml::CreateFromString does.
XmlPtr CreateXmlFromStream(IOStream& stream);
// Opens path through the virtual file system; null when it can't be opened or parsed.
XmlPtr CreateXmlFromFile(const NarrowString& path);

} // namespace Tarv

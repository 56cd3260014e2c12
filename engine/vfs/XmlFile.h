// XML documents read from streams and from the virtual file system: Xml::CreateFromStream,
// Xml::CreateFromFile and XmlPtr's constructor from a path are declared with the document
// (engine/core/Xml.h), which parses texts only, and defined here, above the file system.
#pragma once

#include "engine/core/Xml.h"

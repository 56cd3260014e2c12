// Where the running executable lies: the program changes to that folder, since its archives
// lie beside it.
#pragma once

#include <string>

namespace Tarv
{

// The folder that holds the running executable ("/proc/self/exe"), or, when that cannot be
// read, the part of argv0 before its last "/"; empty when neither names a folder.
std::string GetExecutableDirectory(const char* argv0);

} // namespace Tarv

// Tarv::PakTool: the content packer's commands (pack, list, verify, extract), kept apart from
// main so tests can run them.
#pragma once

#include "tools/ContainerWriter.h"

#include <ostream>
#include <string>

namespace Tarv
{

class PakTool
{
public:
    PakTool(std::ostream& out, std::ostream& errors) : m_out(out), m_errors(errors) {}

    // Runs a command line (argv[0] is the program); returns the exit status.
    int Run(int argc, const char* const* argv);

    // Packs every regular file under folder into archive (written whole, then renamed over).
    bool Pack(const std::string& folder, const std::string& archive, const ContainerWriter::Options& options);
    // Prints each entry's size and name, then a summary line.
    bool List(const std::string& archive);
    // Reads every entry back through the engine's own reader; with a folder, compares each
    // entry with its file and checks that both hold the same names.
    bool Verify(const std::string& archive, const std::string& folder);
    // Writes every entry as a file under folder.
    bool Extract(const std::string& archive, const std::string& folder);

private:
    int Usage(std::ostream& stream, int status);

    std::ostream& m_out;
    std::ostream& m_errors;
};

} // namespace Tarv

// Tarv::PakWriter: gathers named files and lays them out as an archive's uncompressed content:
// the PAK directory (entries sorted case-insensitively) followed by the files' bytes.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace Tarv
{

class PakWriter
{
public:
    // Adds a file under a virtual path ("config/defaults.xml"). False, with a message in
    // error, for a name that is empty, absolute, has an empty or ".." component, holds a byte
    // outside printable ASCII, or equals an added name when case is ignored.
    bool AddFile(const std::string& name, std::vector<std::uint8_t> bytes, std::string& error);

    // The content: directory, then each file's bytes in name order, then zeros up to a whole
    // number of chunks. False when it would reach 2 GiB (the reader's positions are 32-bit).
    bool BuildContent(std::uint32_t chunkSize, std::vector<std::uint8_t>& content, std::string& error) const;

    std::size_t GetFileCount() const { return m_files.size(); }

    // The order the reader's binary search relies on: bytes compared after ASCII lower-casing.
    static int CompareNames(const std::string& a, const std::string& b);

private:
    struct NameLess
    {
        bool operator()(const std::string& a, const std::string& b) const { return CompareNames(a, b) < 0; }
    };
    struct NamedFile
    {
        std::string name;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<NamedFile> m_files;
    // The names added so far, for the case-blind collision check in logarithmic time.
    std::set<std::string, NameLess> m_names;
};

} // namespace Tarv

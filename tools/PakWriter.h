// Tarv::PakWriter: gathers named files and lays them out as an archive's uncompressed content:
// the PAK directory (entries sorted case-insensitively) followed by the files' bytes. Files
// named by a host path are read only while the layout streams past them, one at a time.
#pragma once

#include <cstdint>
#include <functional>
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
    // The same for a host file of the given size, read when the content is written; a file
    // that then no longer has that size fails the write. Either refuses a file of 2 GiB or more.
    bool AddHostFile(const std::string& name, const std::string& hostPath, std::uint64_t size, std::string& error);

    // The content: directory, then each file's bytes in name order, then zeros up to a whole
    // number of chunks. False when it would reach 2 GiB (the reader's positions are 32-bit).
    bool BuildContent(std::uint32_t chunkSize, std::vector<std::uint8_t>& content, std::string& error) const;
    // The same content handed to take one chunk (chunkSize bytes) at a time, holding only the
    // directory, one chunk and one host file. False, with a message in error, when the
    // content would reach 2 GiB or a host file cannot be read whole; false, with error left to
    // take, when take returns false.
    using ChunkTaker = std::function<bool(const std::uint8_t* chunk)>;
    bool WriteContent(std::uint32_t chunkSize, const ChunkTaker& take, std::string& error) const;
    // The content's size in bytes (a whole number of chunks), 0 for a chunk size of 0.
    std::uint64_t GetContentSize(std::uint32_t chunkSize) const;

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
        std::string hostPath; // when not empty, the bytes are read from here
        std::uint64_t size = 0;
    };
    bool AddNamed(NamedFile file, std::string& error);
    // The directory of the files in reader order: count, entries, names' size, names.
    static std::vector<std::uint8_t> BuildDirectory(const std::vector<const NamedFile*>& sorted);
    std::vector<NamedFile> m_files;
    // The names added so far, for the case-blind collision check in logarithmic time.
    std::set<std::string, NameLess> m_names;
};

} // namespace Tarv

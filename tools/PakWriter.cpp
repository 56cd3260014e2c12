// Directory layout of the content packer.
#include "tools/PakWriter.h"

#include <algorithm>
#include <climits>

namespace Tarv
{

namespace
{

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

void PutU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

bool CheckName(const std::string& name, std::string& error)
{
    if (name.empty() || name[0] == '/') {
        error = "bad name \"" + name + "\": empty or absolute";
        return false;
    }
    for (unsigned char c : name) {
        if (c < 0x20 || c >= 0x7F) {
            error = "bad name \"" + name + "\": only printable ASCII is allowed";
            return false;
        }
    }
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string::npos)
            end = name.size();
        const std::string component = name.substr(start, end - start);
        if (component.empty() || component == "..") {
            error = "bad name \"" + name + "\": empty or \"..\" component";
            return false;
        }
        start = end + 1;
    }
    return true;
}

} // namespace

int PakWriter::CompareNames(const std::string& a, const std::string& b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = static_cast<unsigned char>(Lower(a[i]));
        const unsigned char y = static_cast<unsigned char>(Lower(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool PakWriter::AddFile(const std::string& name, std::vector<std::uint8_t> bytes, std::string& error)
{
    if (!CheckName(name, error))
        return false;
    const auto added = m_names.insert(name);
    if (!added.second) {
        error = "names collide when case is ignored: \"" + *added.first + "\" and \"" + name + "\"";
        return false;
    }
    m_files.push_back(NamedFile{name, std::move(bytes)});
    return true;
}

bool PakWriter::BuildContent(std::uint32_t chunkSize, std::vector<std::uint8_t>& content, std::string& error) const
{
    if (chunkSize == 0) {
        error = "chunk size must be at least 1";
        return false;
    }
    std::vector<const NamedFile*> sorted;
    for (const NamedFile& file : m_files)
        sorted.push_back(&file);
    std::sort(sorted.begin(), sorted.end(),
              [](const NamedFile* a, const NamedFile* b) { return CompareNames(a->name, b->name) < 0; });

    std::uint64_t namesSize = 0;
    std::uint64_t dataSize = 0;
    for (const NamedFile* file : sorted) {
        namesSize += file->name.size() + 1;
        dataSize += file->bytes.size();
    }
    const std::uint64_t directorySize = 8 + 12 * static_cast<std::uint64_t>(sorted.size()) + namesSize;
    const std::uint64_t used = directorySize + dataSize;
    const std::uint64_t total = (used + chunkSize - 1) / chunkSize * chunkSize;
    if (total > static_cast<std::uint64_t>(INT_MAX)) {
        error = "the archive's content would reach 2 GiB";
        return false;
    }

    content.assign(static_cast<std::size_t>(total), 0);
    PutU32(content, 0, static_cast<std::uint32_t>(sorted.size()));
    const std::size_t namesAt = 8 + 12 * sorted.size();
    PutU32(content, namesAt - 4, static_cast<std::uint32_t>(namesSize));
    std::size_t nameOffset = 0;
    std::size_t dataOffset = static_cast<std::size_t>(directorySize);
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const NamedFile& file = *sorted[i];
        PutU32(content, 4 + 12 * i, static_cast<std::uint32_t>(nameOffset));
        PutU32(content, 8 + 12 * i, static_cast<std::uint32_t>(dataOffset));
        PutU32(content, 12 + 12 * i, static_cast<std::uint32_t>(file.bytes.size()));
        std::copy(file.name.begin(), file.name.end(), content.begin() + static_cast<std::ptrdiff_t>(namesAt + nameOffset));
        nameOffset += file.name.size() + 1;
        std::copy(file.bytes.begin(), file.bytes.end(), content.begin() + static_cast<std::ptrdiff_t>(dataOffset));
        dataOffset += file.bytes.size();
    }
    return true;
}

} // namespace Tarv

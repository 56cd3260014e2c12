// Directory layout of the content packer.
#include "tools/PakWriter.h"

#include <algorithm>
#include <climits>
#include <fstream>

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

// Cuts a byte sequence into whole chunks for a taker; the last one is padded with zeros.
class ChunkFiller
{
public:
    ChunkFiller(std::uint32_t chunkSize, const PakWriter::ChunkTaker& take) : m_chunk(chunkSize), m_take(take) {}

    bool Put(const std::vector<std::uint8_t>& bytes)
    {
        std::size_t at = 0;
        while (at < bytes.size()) {
            const std::size_t step = std::min(bytes.size() - at, m_chunk.size() - m_filled);
            std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), step, m_chunk.begin() + static_cast<std::ptrdiff_t>(m_filled));
            at += step;
            m_filled += step;
            if (m_filled == m_chunk.size() && !Hand())
                return false;
        }
        return true;
    }

    bool Finish()
    {
        if (m_filled == 0)
            return true;
        std::fill(m_chunk.begin() + static_cast<std::ptrdiff_t>(m_filled), m_chunk.end(), 0);
        return Hand();
    }

private:
    bool Hand()
    {
        m_filled = 0;
        return m_take(m_chunk.data());
    }

    std::vector<std::uint8_t> m_chunk;
    std::size_t m_filled = 0;
    const PakWriter::ChunkTaker& m_take;
};

// Reads a whole host file that must hold exactly size bytes.
bool LoadHostFile(const std::string& path, std::uint64_t size, std::vector<std::uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.resize(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    return in.gcount() == static_cast<std::streamsize>(size) && in.peek() == std::char_traits<char>::eof();
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
    const std::uint64_t size = bytes.size();
    return AddNamed(NamedFile{name, std::move(bytes), std::string(), size}, error);
}

bool PakWriter::AddHostFile(const std::string& name, const std::string& hostPath, std::uint64_t size,
                            std::string& error)
{
    return AddNamed(NamedFile{name, {}, hostPath, size}, error);
}

bool PakWriter::AddNamed(NamedFile file, std::string& error)
{
    if (!CheckName(file.name, error))
        return false;
    if (file.size > static_cast<std::uint64_t>(INT_MAX)) {
        error = "file \"" + file.name + "\" reaches 2 GiB";
        return false;
    }
    const auto added = m_names.insert(file.name);
    if (!added.second) {
        error = "names collide when case is ignored: \"" + *added.first + "\" and \"" + file.name + "\"";
        return false;
    }
    m_files.push_back(std::move(file));
    return true;
}

std::vector<std::uint8_t> PakWriter::BuildDirectory(const std::vector<const NamedFile*>& sorted)
{
    std::size_t namesSize = 0;
    for (const NamedFile* file : sorted)
        namesSize += file->name.size() + 1;
    const std::size_t namesAt = 8 + 12 * sorted.size();
    std::vector<std::uint8_t> directory(namesAt + namesSize, 0);
    PutU32(directory, 0, static_cast<std::uint32_t>(sorted.size()));
    PutU32(directory, namesAt - 4, static_cast<std::uint32_t>(namesSize));
    // Sizes were bounded below 2 GiB in all by the caller.
    std::size_t nameOffset = 0;
    std::uint64_t dataOffset = directory.size();
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const NamedFile& file = *sorted[i];
        PutU32(directory, 4 + 12 * i, static_cast<std::uint32_t>(nameOffset));
        PutU32(directory, 8 + 12 * i, static_cast<std::uint32_t>(dataOffset));
        PutU32(directory, 12 + 12 * i, static_cast<std::uint32_t>(file.size));
        std::copy(file.name.begin(), file.name.end(), directory.begin() + static_cast<std::ptrdiff_t>(namesAt + nameOffset));
        nameOffset += file.name.size() + 1;
        dataOffset += file.size;
    }
    return directory;
}

std::uint64_t PakWriter::GetContentSize(std::uint32_t chunkSize) const
{
    if (chunkSize == 0)
        return 0;
    std::uint64_t used = 8;
    for (const NamedFile& file : m_files)
        used += 12 + file.name.size() + 1 + file.size;
    return (used + chunkSize - 1) / chunkSize * chunkSize;
}

bool PakWriter::BuildContent(std::uint32_t chunkSize, std::vector<std::uint8_t>& content, std::string& error) const
{
    content.clear();
    content.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(GetContentSize(chunkSize), INT_MAX)));
    return WriteContent(
        chunkSize, [&](const std::uint8_t* chunk) { content.insert(content.end(), chunk, chunk + chunkSize); return true; },
        error);
}

bool PakWriter::WriteContent(std::uint32_t chunkSize, const ChunkTaker& take, std::string& error) const
{
    if (chunkSize == 0) {
        error = "chunk size must be at least 1";
        return false;
    }
    if (GetContentSize(chunkSize) > static_cast<std::uint64_t>(INT_MAX)) {
        error = "the archive's content would reach 2 GiB";
        return false;
    }
    std::vector<const NamedFile*> sorted;
    sorted.reserve(m_files.size());
    for (const NamedFile& file : m_files)
        sorted.push_back(&file);
    std::sort(sorted.begin(), sorted.end(),
              [](const NamedFile* a, const NamedFile* b) { return CompareNames(a->name, b->name) < 0; });

    ChunkFiller filler(chunkSize, take);
    if (!filler.Put(BuildDirectory(sorted)))
        return false;
    std::vector<std::uint8_t> loaded;
    for (const NamedFile* file : sorted) {
        const std::vector<std::uint8_t>* bytes = &file->bytes;
        if (!file->hostPath.empty()) {
            if (!LoadHostFile(file->hostPath, file->size, loaded)) {
                error = "cannot read " + file->hostPath + " whole";
                return false;
            }
            bytes = &loaded;
        }
        if (!filler.Put(*bytes))
            return false;
    }
    return filler.Finish();
}

} // namespace Tarv

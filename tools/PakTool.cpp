// The packer's commands over PakWriter and ContainerWriter, and the engine's own reader.
#include "tools/PakTool.h"

#include "engine/core/SmartPtr.h"
#include "engine/vfs/PakMount.h"
#include "engine/vfs/VfsPath.h"
#include "tools/HelpOption.h"
#include "tools/PakWriter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

namespace Tarv
{

namespace
{

namespace fs = std::filesystem;

bool LoadFile(const fs::path& path, std::vector<std::uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Writes the parts one after the other as the file's whole content.
bool SaveFile(const fs::path& path, std::initializer_list<const std::vector<std::uint8_t>*> parts)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::vector<std::uint8_t>* bytes : parts)
        out.write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
    out.close();
    return !out.fail();
}

// Every regular file under folder by its "/"-separated relative name.
bool CollectFiles(const std::string& folder, std::map<std::string, fs::path>& files, std::ostream& errors)
{
    std::error_code failure;
    if (!fs::is_directory(folder, failure)) {
        errors << "not a folder: " << folder << "\n";
        return false;
    }
    for (fs::recursive_directory_iterator it(folder, failure), end; !failure && it != end; it.increment(failure)) {
        if (it->is_regular_file())
            files[it->path().lexically_relative(folder).generic_string()] = it->path();
    }
    if (failure) {
        errors << "cannot read folder " << folder << ": " << failure.message() << "\n";
        return false;
    }
    return true;
}

bool ReadEntry(PakMount& mount, const PakEntry& entry, std::vector<std::uint8_t>& bytes)
{
    bytes.resize(entry.dataSize);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const int step = static_cast<int>(std::min<std::size_t>(1u << 20, bytes.size() - done));
        const int got = mount.ReadEntry(entry, static_cast<int>(done), bytes.data() + done, step);
        if (got < 1)
            return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

// Mounts the archive for reading; null, with a message, when it is missing or damaged.
SmartPtr<PakMount> OpenArchive(const std::string& archive, std::ostream& errors)
{
    std::error_code failure;
    if (!fs::is_regular_file(archive, failure)) {
        errors << "not a readable archive: " << archive << "\n";
        return nullptr;
    }
    SmartPtr<PakMount> mount(new PakMount(archive.c_str(), "", 0));
    if (mount->IsDamaged()) {
        errors << "damaged archive: " << archive << "\n";
        return nullptr;
    }
    return mount;
}

bool ParseUnsigned(const char* text, unsigned long& value)
{
    char* end = nullptr;
    value = std::strtoul(text, &end, 10);
    return text[0] != '\0' && text[0] != '-' && end != nullptr && *end == '\0';
}

} // namespace

bool PakTool::Pack(const std::string& folder, const std::string& archive, const ContainerWriter::Options& options)
{
    std::map<std::string, fs::path> files;
    if (!CollectFiles(folder, files, m_errors))
        return false;
    // Files are read one at a time as their chunks are compressed: memory holds the compressed
    // output and one file, never the whole input.
    PakWriter writer;
    std::string error;
    for (const auto& file : files) {
        std::error_code failure;
        const std::uintmax_t size = fs::file_size(file.second, failure);
        if (failure) {
            m_errors << "cannot read " << file.second.string() << "\n";
            return false;
        }
        if (!writer.AddHostFile(file.first, file.second.string(), size, error)) {
            m_errors << folder << ": " << error << "\n";
            return false;
        }
    }
    ContainerWriter container(options);
    std::vector<std::uint8_t> head;
    const auto compress = [&](const std::uint8_t* chunk) { return container.AddChunk(chunk, error); };
    if (!container.Start(writer.GetContentSize(options.chunkSize), error) ||
        !writer.WriteContent(options.chunkSize, compress, error) || !container.Finish(head, error)) {
        m_errors << archive << ": " << error << "\n";
        return false;
    }
    const std::string temporary = archive + ".tmp";
    if (!SaveFile(temporary, {&head, &container.GetChunks()}) || std::rename(temporary.c_str(), archive.c_str()) != 0) {
        std::remove(temporary.c_str());
        m_errors << "cannot write " << archive << "\n";
        return false;
    }
    return Verify(archive, folder);
}

bool PakTool::List(const std::string& archive)
{
    SmartPtr<PakMount> mount = OpenArchive(archive, m_errors);
    if (!mount)
        return false;
    std::uint64_t total = 0;
    for (int i = 0; i < mount->GetEntryCount(); ++i) {
        const PakEntry& entry = mount->GetEntry(i);
        m_out << entry.dataSize << "\t" << mount->GetName(entry) << "\n";
        total += entry.dataSize;
    }
    m_out << mount->GetEntryCount() << " entries, " << total << " bytes\n";
    return true;
}

bool PakTool::Verify(const std::string& archive, const std::string& folder)
{
    SmartPtr<PakMount> mount = OpenArchive(archive, m_errors);
    if (!mount)
        return false;
    std::map<std::string, fs::path> files;
    if (!folder.empty() && !CollectFiles(folder, files, m_errors))
        return false;
    bool ok = true;
    for (int i = 0; i < mount->GetEntryCount(); ++i) {
        const PakEntry& entry = mount->GetEntry(i);
        const std::string name = mount->GetName(entry);
        // The game finds entries by a search that relies on the names' order.
        if (mount->Find(name.c_str()) != &entry) {
            m_errors << archive << ": entry " << name
                     << " is not found by its name (names out of order or repeated)\n";
            ok = false;
        }
        std::vector<std::uint8_t> bytes;
        if (!ReadEntry(*mount, entry, bytes)) {
            m_errors << archive << ": entry " << name << " does not read back whole\n";
            ok = false;
            continue;
        }
        if (folder.empty())
            continue;
        std::vector<std::uint8_t> expected;
        const auto file = files.find(name);
        if (file == files.end() || !LoadFile(file->second, expected) || expected != bytes) {
            m_errors << archive << ": entry " << name << " differs from " << folder << "\n";
            ok = false;
        }
    }
    if (!folder.empty() && files.size() != static_cast<std::size_t>(mount->GetEntryCount())) {
        m_errors << archive << ": holds " << mount->GetEntryCount() << " entries, " << folder << " has "
                 << files.size() << " files\n";
        ok = false;
    }
    return ok;
}

bool PakTool::Extract(const std::string& archive, const std::string& folder)
{
    SmartPtr<PakMount> mount = OpenArchive(archive, m_errors);
    if (!mount)
        return false;
    for (int i = 0; i < mount->GetEntryCount(); ++i) {
        const PakEntry& entry = mount->GetEntry(i);
        const std::string name = mount->GetName(entry);
        std::vector<std::uint8_t> bytes;
        if (!IsConfinedPath(name.c_str()) || !ReadEntry(*mount, entry, bytes)) {
            m_errors << archive << ": cannot extract " << name << "\n";
            return false;
        }
        const fs::path target = fs::path(folder) / name;
        std::error_code failure;
        fs::create_directories(target.parent_path(), failure);
        if (failure || !SaveFile(target, {&bytes})) {
            m_errors << "cannot write " << target.string() << "\n";
            return false;
        }
    }
    return true;
}

int PakTool::Usage(std::ostream& stream, int status)
{
    stream << "usage: tarvpak pack <folder> <archive> [--chunk-size N] [--level 0-9] [--store] [--table raw|lzma|auto]\n"
                "       tarvpak list <archive>\n"
                "       tarvpak verify <archive> [<folder>]\n"
                "       tarvpak extract <archive> <folder>\n";
    return status;
}

int PakTool::Run(int argc, const char* const* argv)
{
    if (AsksForHelp(argc, argv))
        return Usage(m_out, 0);
    if (argc < 3)
        return Usage(m_errors, 2);
    const std::string command = argv[1];
    if (command == "list" && argc == 3)
        return List(argv[2]) ? 0 : 1;
    if (command == "verify" && (argc == 3 || argc == 4))
        return Verify(argv[2], argc == 4 ? argv[3] : "") ? 0 : 1;
    if (command == "extract" && argc == 4)
        return Extract(argv[2], argv[3]) ? 0 : 1;
    if (command != "pack" || argc < 4)
        return Usage(m_errors, 2);

    ContainerWriter::Options options;
    for (int i = 4; i < argc; ++i) {
        const std::string option = argv[i];
        unsigned long value = 0;
        if (option == "--store") {
            options.compressChunks = false;
        } else if (option == "--chunk-size" && i + 1 < argc && ParseUnsigned(argv[i + 1], value) && value >= 1 &&
                   value <= CompressedFile::MAX_CHUNK_SIZE) {
            options.chunkSize = static_cast<std::uint32_t>(value);
            ++i;
        } else if (option == "--level" && i + 1 < argc && ParseUnsigned(argv[i + 1], value) && value <= 9) {
            options.level = static_cast<int>(value);
            ++i;
        } else if (option == "--table" && i + 1 < argc) {
            const std::string mode = argv[++i];
            if (mode == "raw")
                options.table = ContainerWriter::TableMode::RAW;
            else if (mode == "lzma")
                options.table = ContainerWriter::TableMode::LZMA;
            else if (mode == "auto")
                options.table = ContainerWriter::TableMode::SMALLER;
            else
                return Usage(m_errors, 2);
        } else {
            return Usage(m_errors, 2);
        }
    }
    return Pack(argv[2], argv[3], options) ? 0 : 1;
}

} // namespace Tarv

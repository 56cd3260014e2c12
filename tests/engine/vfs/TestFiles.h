// Temporary directories and file helpers shared by the tests that touch real files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TestFiles
{

// A fresh directory under /tmp, removed with everything in it when the object goes.
class TempDir
{
public:
    TempDir()
    {
        char pattern[] = "/tmp/brashwick-vfs-XXXXXX";
        const char* made = mkdtemp(pattern);
        m_path = made != nullptr ? made : "";
    }
    ~TempDir()
    {
        if (!m_path.empty())
            nftw(m_path.c_str(), Remove, 16, FTW_DEPTH | FTW_PHYS);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    static int Remove(const char* path, const struct stat*, int, struct FTW*)
    {
        return std::remove(path);
    }
    std::string m_path;
};

inline bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

inline bool WriteText(const std::string& path, const std::string& text)
{
    return WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

inline std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return bytes;
    std::uint8_t block[4096];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    std::fclose(file);
    return bytes;
}

inline std::string ReadText(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace TestFiles

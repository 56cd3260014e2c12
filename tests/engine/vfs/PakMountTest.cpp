// Archive mounts: directory checks, case-insensitive lookup, mount order, a round trip of a
// generated tree, and concurrent readers of one archive.
#include "engine/vfs/PakMount.h"

#include "engine/vfs/Vfs.h"
#include "engine/vfs/VirtualFile.h"
#include "Archives.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <ostream>
#include <thread>

namespace
{

using Archives::Bytes;
using Options = Tarv::ContainerWriter::Options;

Options StoredRaw(std::uint32_t chunkSize)
{
    Options options;
    options.chunkSize = chunkSize;
    options.compressChunks = false;
    options.table = Tarv::ContainerWriter::TableMode::RAW;
    return options;
}

Bytes ReadWhole(Tarv::File* raw)
{
    Tarv::SmartPtr<Tarv::File> file(raw);
    Bytes out;
    if (!file)
        return out;
    std::uint8_t block[1000];
    int got;
    while ((got = file->Read(block, sizeof block)) > 0)
        out.insert(out.end(), block, block + got);
    return out;
}

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

class Pak : public ::testing::Test
{
protected:
    void TearDown() override { Tarv::VfsShutdown(); }
    std::string Write(const std::string& name, const Bytes& bytes)
    {
        TestFiles::WriteBytes(m_dir / name, bytes);
        return m_dir / name;
    }
    Tarv::SmartPtr<Tarv::PakMount> Mount(const Bytes& bytes)
    {
        return Tarv::SmartPtr<Tarv::PakMount>(new Tarv::PakMount(Write("a.pak", bytes).c_str(), "", 0));
    }
    TestFiles::TempDir m_dir;
};

TEST_F(Pak, LookupIgnoresCase)
{
    auto mount = Mount(Archives::Pack({{"config/defaults.xml", Text("<d/>")}, {"_first", Text("u")}, {"b", {}}}, Options()));
    ASSERT_EQ(mount->GetEntryCount(), 3);
    EXPECT_EQ(ReadWhole(mount->OpenRead("CONFIG/Defaults.XML")), Text("<d/>"));
    EXPECT_EQ(ReadWhole(mount->OpenRead("_FIRST")), Text("u"));
    EXPECT_NE(mount->Find("B"), nullptr);
    EXPECT_EQ(mount->OpenRead("config/defaults"), nullptr);
    EXPECT_EQ(mount->OpenWrite("b"), nullptr);
}

// An empty directory, a file that is no archive and a negative count all mount empty.
TEST_F(Pak, EmptyOrUnreadableArchivesMountEmpty)
{
    Bytes negative = Archives::Pack({{"a", Text("one")}}, StoredRaw(64));
    Archives::SetU32(negative, 21, 0xFFFFFFFF);
    for (const Bytes& bytes : {Archives::Pack({}, Options()), Text("not an archive at all"), negative}) {
        auto mount = Mount(bytes);
        EXPECT_EQ(mount->GetEntryCount(), 0);
        EXPECT_EQ(mount->OpenRead("a"), nullptr);
    }
}

// Damage to one field of a stored archive whose content starts right after the header and
// raw table (one chunk, so content offset = file offset - 21) mounts it empty.
TEST_F(Pak, DirectoryDamageMountsEmpty)
{
    // Directory: count 2 at 0, entries at 4 and 16, names size at 28, names "a\0b\0" at 32.
    const Bytes good = Archives::Pack({{"a", Text("one")}, {"b", Text("two")}}, StoredRaw(64));
    ASSERT_EQ(Mount(good)->GetEntryCount(), 2);
    const struct { const char* what; std::size_t contentOffset; std::uint32_t value; } cases[] = {
        {"count beyond the content", 0, 6}, {"enormous count", 0, 0x7FFFFFFF},
        {"names size beyond the content", 28, 1000}, {"names size zero", 28, 0},
        {"names size negative", 28, 0xFFFFFFFF}, {"name offset outside the block", 4, 4},
        {"data range past the content", 12, 62}, {"data offset wrapping", 8, 0xFFFFFFF0}};
    for (const auto& c : cases) {
        Bytes bytes = good;
        Archives::SetU32(bytes, 21 + c.contentOffset, c.value);
        EXPECT_EQ(Mount(bytes)->GetEntryCount(), 0) << c.what;
    }
}

// Names out of order or repeated are no damage: the directory mounts whole and the lookup is
// the same binary search, which probes entry 0 first in a directory of two.
TEST_F(Pak, UnsortedNamesMountAndAreSearchedInPlace)
{
    const Bytes good = Archives::Pack({{"a", Text("one")}, {"b", Text("two")}}, StoredRaw(64));
    const struct { const char* what; std::uint32_t firstName, secondName; const char* path; const char* found; }
        cases[] = {{"swapped", 2, 0, "B", "one"}, {"swapped", 2, 0, "a", nullptr},
                   {"repeated", 0, 0, "A", "one"}, {"repeated", 0, 0, "b", nullptr}};
    for (const auto& c : cases) {
        Bytes bytes = good;
        Archives::SetU32(bytes, 21 + 4, c.firstName);
        Archives::SetU32(bytes, 21 + 16, c.secondName);
        auto mount = Mount(bytes);
        EXPECT_FALSE(mount->IsDamaged()) << c.what;
        EXPECT_EQ(mount->GetEntryCount(), 2) << c.what;
        EXPECT_EQ(ReadWhole(mount->OpenRead(c.path)), c.found ? Text(c.found) : Bytes()) << c.what << " " << c.path;
    }
}

TEST_F(Pak, MountedLaterHidesEarlier)
{
    const std::string common = Write("common.pak", Archives::Pack({{"a.txt", Text("common")}, {"c.txt", Text("c")}}, Options()));
    const std::string atlas = Write("atlas.pak", Archives::Pack({{"A.TXT", Text("atlas")}}, Options()));
    Tarv::VfsInit();
    ASSERT_NE(Tarv::VfsMountPak(common, "", 0), nullptr);
    ASSERT_NE(Tarv::VfsMountPak(atlas, "", Tarv::VFS_MOUNT_FALL_THROUGH), nullptr);
    EXPECT_EQ(ReadWhole(Tarv::VfsOpenRead("a.txt")), Text("atlas"));
    EXPECT_EQ(ReadWhole(Tarv::VfsOpenRead("c.txt")), Text("c"));
    EXPECT_EQ(Tarv::VfsOpenRead("save/settings.xml"), nullptr);
}

TEST_F(Pak, SavePathFallsThroughToTheArchives)
{
    const std::string platform = Write("platform.pak", Archives::Pack({{"save/settings.xml", Text("shipped")}}, Options()));
    setenv("XDG_CONFIG_HOME", (m_dir / "config").c_str(), 1);
    Tarv::VfsInit();
    ASSERT_NE(Tarv::VfsMountPak(platform, "", 0), nullptr);
    Tarv::VfsMountNative("", "save/", Tarv::VFS_MOUNT_FALL_THROUGH | Tarv::VFS_MOUNT_SAVE_FILES);
    EXPECT_EQ(ReadWhole(Tarv::VfsOpenRead("save/settings.xml")), Text("shipped"));
    Tarv::SmartPtr<Tarv::File> saved(Tarv::VfsOpenWrite("save/settings.xml"));
    ASSERT_TRUE(saved);
    saved->Write("mine", 4);
    saved.Reset();
    EXPECT_EQ(ReadWhole(Tarv::VfsOpenRead("SAVE/settings.xml")), Text("mine"));
    unsetenv("XDG_CONFIG_HOME");
}

TEST_F(Pak, MissingArchiveIsNotMounted)
{
    Tarv::VfsInit();
    EXPECT_EQ(Tarv::VfsMountPak(m_dir / "missing.pak", "", 0), nullptr);
    EXPECT_EQ(Tarv::VfsFindMount("a", nullptr), nullptr);
}

TEST_F(Pak, OpenEntryKeepsItsArchiveAlive)
{
    auto mount = Mount(Archives::Pack({{"a", Text("alive")}}, Options()));
    Tarv::SmartPtr<Tarv::File> file(mount->OpenRead("a"));
    mount.Reset();
    EXPECT_EQ(ReadWhole(file.Get()), Text("alive"));
}

// A generated tree: hundreds of files from empty to over a megabyte, nested, mixed case.
std::map<std::string, Bytes> GeneratedTree()
{
    std::map<std::string, Bytes> files;
    const char* folders[] = {"", "Config/", "config2/Deep/", "SCRIPTS/", "levels/World_1/", "a/b/c/d/"};
    for (std::uint32_t i = 0; i < 300; ++i) {
        std::size_t size = (i * 7919u) % 5000;
        if (i % 50 == 0)
            size = 0;
        if (i % 97 == 1)
            size = 1200000 + i;
        std::string name = std::string(folders[i % 6]) + (i % 3 == 0 ? "File" : "file") + std::to_string(i) + (i % 2 ? ".TXT" : ".bin");
        files[name] = Archives::Filler(size, i, i % 4 == 0);
    }
    return files;
}

struct RoundTripCase
{
    const char* what;
    std::uint32_t chunkSize;
    bool compressChunks;
    Tarv::ContainerWriter::TableMode table;
};

// Names the case in test output, so the test list stays readable and stable.
std::ostream& operator<<(std::ostream& out, const RoundTripCase& layout)
{
    return out << layout.what;
}

class PakRoundTrip : public Pak, public ::testing::WithParamInterface<RoundTripCase>
{
};

TEST_P(PakRoundTrip, EveryEntryReadsBackIdentical)
{
    const auto files = GeneratedTree();
    Options options;
    options.chunkSize = GetParam().chunkSize;
    options.compressChunks = GetParam().compressChunks;
    options.table = GetParam().table;
    options.level = 1;
    auto mount = Mount(Archives::Pack(files, options));
    ASSERT_EQ(mount->GetEntryCount(), static_cast<int>(files.size()));

    std::uint32_t seed = 12345;
    for (const auto& file : files) {
        const Bytes& expected = file.second;
        // Sequential reads, through a lower-cased name.
        std::string lower = file.first;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        ASSERT_EQ(ReadWhole(mount->OpenRead(lower.c_str())), expected) << file.first;

        // Random seeks, backwards and forwards, with reads that may span chunks.
        Tarv::SmartPtr<Tarv::File> entry(mount->OpenRead(file.first.c_str()));
        const int size = static_cast<int>(expected.size());
        for (int probe = 0; probe < 6 && size > 0; ++probe) {
            seed = seed * 1664525u + 1013904223u;
            const int at = static_cast<int>(seed % static_cast<std::uint32_t>(size));
            const int count = static_cast<int>(std::min<std::uint32_t>(seed >> 20, static_cast<std::uint32_t>(options.chunkSize) * 2 + 1));
            Bytes got(static_cast<std::size_t>(count));
            ASSERT_TRUE(entry->Seek(at, Tarv::SEEK_ORIGIN_START));
            got.resize(static_cast<std::size_t>(entry->Read(got.data(), count)));
            const std::size_t want = std::min<std::size_t>(static_cast<std::size_t>(count), expected.size() - static_cast<std::size_t>(at));
            ASSERT_EQ(got, Bytes(expected.begin() + at, expected.begin() + at + static_cast<std::ptrdiff_t>(want)))
                << file.first << " at " << at;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, PakRoundTrip, ::testing::Values(
    RoundTripCase{"compressed chunks, lzma table", 65536, true, Tarv::ContainerWriter::TableMode::LZMA},
    RoundTripCase{"compressed chunks, raw table", 32768, true, Tarv::ContainerWriter::TableMode::RAW},
    RoundTripCase{"stored chunks, raw table", 65536, false, Tarv::ContainerWriter::TableMode::RAW},
    RoundTripCase{"stored chunks, lzma table", 4096, false, Tarv::ContainerWriter::TableMode::LZMA}));

TEST_F(Pak, ThreeThreadsReadTheirOwnEntries)
{
    std::map<std::string, Bytes> files;
    for (int i = 0; i < 3; ++i)
        files["entry" + std::to_string(i)] = Archives::Filler(200000 + 1000 * i, 40 + i, i == 2);
    Options options;
    options.chunkSize = 16384;
    options.level = 1;
    auto mount = Mount(Archives::Pack(files, options));

    bool same[3] = {false, false, false};
    std::vector<std::thread> threads;
    for (int i = 0; i < 3; ++i) {
        threads.emplace_back([&, i] {
            const std::string name = "entry" + std::to_string(i);
            same[i] = ReadWhole(mount->OpenRead(name.c_str())) == files.at(name);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_TRUE(same[0] && same[1] && same[2]);
}

} // namespace

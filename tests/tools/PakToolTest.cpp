// The packer's commands end to end: pack, verify, list, extract, and refusals.
#include "tools/PakTool.h"

#include "tests/engine/vfs/TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace
{

class Tool : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mkdir((m_dir / "src").c_str(), 0700);
        mkdir((m_dir / "src/Sub").c_str(), 0700);
        TestFiles::WriteText(m_dir / "src/README", "read me\n");
        TestFiles::WriteText(m_dir / "src/Sub/Data.TXT", std::string(100000, 'z'));
        TestFiles::WriteText(m_dir / "src/empty", "");
    }
    int Run(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), "tarvpak");
        std::vector<const char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(argument.c_str());
        m_out.str("");
        m_errors.str("");
        Tarv::PakTool tool(m_out, m_errors);
        return tool.Run(static_cast<int>(argv.size()), argv.data());
    }
    TestFiles::TempDir m_dir;
    std::ostringstream m_out;
    std::ostringstream m_errors;
};

TEST_F(Tool, PackVerifyListExtract)
{
    ASSERT_EQ(Run({"pack", m_dir / "src", m_dir / "a.pak", "--chunk-size", "4096", "--level", "3"}), 0) << m_errors.str();
    EXPECT_EQ(Run({"verify", m_dir / "a.pak", m_dir / "src"}), 0) << m_errors.str();
    EXPECT_EQ(Run({"list", m_dir / "a.pak"}), 0);
    EXPECT_NE(m_out.str().find("100000\tSub/Data.TXT"), std::string::npos) << m_out.str();
    ASSERT_EQ(Run({"extract", m_dir / "a.pak", m_dir / "out"}), 0) << m_errors.str();
    EXPECT_EQ(TestFiles::ReadBytes(m_dir / "out/Sub/Data.TXT"), TestFiles::ReadBytes(m_dir / "src/Sub/Data.TXT"));
}

TEST_F(Tool, SameFolderSameArchive)
{
    ASSERT_EQ(Run({"pack", m_dir / "src", m_dir / "a.pak", "--store"}), 0);
    ASSERT_EQ(Run({"pack", m_dir / "src", m_dir / "b.pak", "--store"}), 0);
    EXPECT_EQ(TestFiles::ReadBytes(m_dir / "a.pak"), TestFiles::ReadBytes(m_dir / "b.pak"));
}

TEST_F(Tool, VerifyFindsAChangedFile)
{
    ASSERT_EQ(Run({"pack", m_dir / "src", m_dir / "a.pak"}), 0);
    TestFiles::WriteText(m_dir / "src/README", "changed\n");
    EXPECT_EQ(Run({"verify", m_dir / "a.pak", m_dir / "src"}), 1);
    EXPECT_NE(m_errors.str().find("README differs"), std::string::npos) << m_errors.str();
}

TEST_F(Tool, RefusesCollidingNames)
{
    TestFiles::WriteText(m_dir / "src/readme", "second");
    EXPECT_EQ(Run({"pack", m_dir / "src", m_dir / "a.pak"}), 1);
    EXPECT_NE(m_errors.str().find("collide"), std::string::npos) << m_errors.str();
}

TEST_F(Tool, RefusesBadCommandLines)
{
    EXPECT_EQ(Run({"pack", m_dir / "src", m_dir / "a.pak", "--chunk-size", "0"}), 2);
    EXPECT_EQ(Run({"pack", m_dir / "src", m_dir / "a.pak", "--level", "11"}), 2);
    EXPECT_EQ(Run({"frobnicate", "x"}), 2);
    EXPECT_EQ(Run({"list", m_dir / "missing.pak"}), 1);
}

// A value written over a packed archive at a fixed offset, or at the file offset that a header
// field holds; the chunks stored or compressed.
struct Damage
{
    bool store;
    int headerOffset; // the field in the header that holds the file offset to damage, or -1
    int offset;       // fixed offset when headerOffset is -1
    std::uint32_t value;
};

class DamagedArchive : public Tool, public ::testing::WithParamInterface<Damage>
{
};

TEST_P(DamagedArchive, IsAnErrorForEveryCommand)
{
    const Damage& damage = GetParam();
    std::vector<std::string> pack = {"pack", m_dir / "src", m_dir / "a.pak"};
    if (damage.store)
        pack.insert(pack.end(), {"--store", "--table", "raw"});
    ASSERT_EQ(Run(pack), 0) << m_errors.str();
    std::vector<std::uint8_t> bytes = TestFiles::ReadBytes(m_dir / "a.pak");
    std::uint32_t at = static_cast<std::uint32_t>(damage.offset);
    if (damage.headerOffset >= 0)
        std::memcpy(&at, bytes.data() + damage.headerOffset, 4);
    ASSERT_LE(at + 4, bytes.size());
    std::memcpy(bytes.data() + at, &damage.value, 4);
    TestFiles::WriteBytes(m_dir / "a.pak", bytes);

    for (const char* command : {"list", "verify", "extract"}) {
        std::vector<std::string> line = {command, m_dir / "a.pak"};
        if (std::string(command) == "extract")
            line.push_back(m_dir / "out");
        EXPECT_EQ(Run(line), 1) << command << ": " << m_out.str();
        EXPECT_NE(m_errors.str().find("damaged archive: " + std::string(m_dir / "a.pak")), std::string::npos)
            << command << ": " << m_errors.str();
    }
}

INSTANTIATE_TEST_SUITE_P(Archives, DamagedArchive,
                         ::testing::Values(Damage{true, 0, 0, 0xFFFFFFF0u}, Damage{false, -1, 4, 1u}),
                         [](const ::testing::TestParamInfo<Damage>& info) { return info.index == 0 ? "NegativeCount" : "ChunkSizeOne"; });

} // namespace

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

TEST_F(Tool, PackVerifyListExtractRepeatablyAndVerifyFindsAChange)
{
    ASSERT_EQ(Run({"pack", m_dir / "src", m_dir / "a.pak", "--chunk-size", "4096", "--level", "3"}), 0) << m_errors.str();
    EXPECT_EQ(Run({"verify", m_dir / "a.pak", m_dir / "src"}), 0) << m_errors.str();
    EXPECT_EQ(Run({"list", m_dir / "a.pak"}), 0);
    EXPECT_NE(m_out.str().find("100000\tSub/Data.TXT"), std::string::npos) << m_out.str();
    ASSERT_EQ(Run({"extract", m_dir / "a.pak", m_dir / "out"}), 0) << m_errors.str();
    EXPECT_EQ(TestFiles::ReadBytes(m_dir / "out/Sub/Data.TXT"), TestFiles::ReadBytes(m_dir / "src/Sub/Data.TXT"));
    // The same folder packs to the same archive.
    ASSERT_EQ(Run({"pack", m_dir / "src", m_dir / "b.pak", "--chunk-size", "4096", "--level", "3"}), 0);
    EXPECT_EQ(TestFiles::ReadBytes(m_dir / "a.pak"), TestFiles::ReadBytes(m_dir / "b.pak"));
    // Verify finds a changed file.
    TestFiles::WriteText(m_dir / "src/README", "changed\n");
    EXPECT_EQ(Run({"verify", m_dir / "a.pak", m_dir / "src"}), 1);
    EXPECT_NE(m_errors.str().find("README differs"), std::string::npos) << m_errors.str();
}

TEST_F(Tool, RefusesBadCommandLinesAndCollidingNames)
{
    EXPECT_EQ(Run({"pack", m_dir / "src", m_dir / "a.pak", "--chunk-size", "0"}), 2);
    EXPECT_EQ(Run({"pack", m_dir / "src", m_dir / "a.pak", "--level", "11"}), 2);
    EXPECT_EQ(Run({"frobnicate", "x"}), 2);
    EXPECT_EQ(Run({"list", m_dir / "missing.pak"}), 1);
    TestFiles::WriteText(m_dir / "src/readme", "second");
    EXPECT_EQ(Run({"pack", m_dir / "src", m_dir / "a.pak"}), 1);
    EXPECT_NE(m_errors.str().find("collide"), std::string::npos) << m_errors.str();
}

// A negative directory count (the chunks stored, so it lies as written at data start), and a
// compressed archive whose chunk size reads 1: every command fails and names the archive.
TEST_F(Tool, DamagedArchivesAreAnErrorForEveryCommand)
{
    const std::string archive = m_dir / "a.pak";
    for (const bool store : {true, false}) {
        std::vector<std::string> pack = {"pack", m_dir / "src", archive};
        if (store)
            pack.insert(pack.end(), {"--store", "--table", "raw"});
        ASSERT_EQ(Run(pack), 0) << m_errors.str();
        std::vector<std::uint8_t> bytes = TestFiles::ReadBytes(archive);
        std::uint32_t at = 4;
        std::uint32_t value = store ? 0xFFFFFFF0u : 1u;
        if (store)
            std::memcpy(&at, bytes.data(), 4);
        std::memcpy(bytes.data() + at, &value, 4);
        TestFiles::WriteBytes(archive, bytes);
        for (const std::vector<std::string>& line :
             {std::vector<std::string>{"list", archive}, {"verify", archive}, {"extract", archive, m_dir / "out"}}) {
            EXPECT_EQ(Run(line), 1) << line[0] << ": " << m_out.str();
            EXPECT_NE(m_errors.str().find("damaged archive: " + archive), std::string::npos) << m_errors.str();
        }
    }
}

// A repeated name mounts, but the search finds only one of the two entries: verify says so.
TEST_F(Tool, VerifyReportsAnEntryItsNameDoesNotFind)
{
    const std::string archive = m_dir / "a.pak";
    ASSERT_EQ(Run({"pack", m_dir / "src", archive, "--store", "--table", "raw"}), 0) << m_errors.str();
    std::vector<std::uint8_t> bytes = TestFiles::ReadBytes(archive);
    std::uint32_t directory = 0;
    std::memcpy(&directory, bytes.data(), 4);
    std::memcpy(bytes.data() + directory + 16, bytes.data() + directory + 4, 4); // entry 1 takes entry 0's name
    TestFiles::WriteBytes(archive, bytes);
    EXPECT_EQ(Run({"list", archive}), 0) << m_errors.str();
    EXPECT_EQ(Run({"verify", archive}), 1);
    EXPECT_NE(m_errors.str().find("entry empty is not found by its name"), std::string::npos) << m_errors.str();
}

} // namespace

// XML documents read from streams and through the virtual file system.
#include "engine/vfs/XmlFile.h"

#include "engine/core/XmlIterator.h"
#include "engine/vfs/IOStream.h"
#include "engine/vfs/Vfs.h"
#include "tests/engine/vfs/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

using Tarv::XmlIterator;
using Tarv::XmlPtr;

namespace
{

// Hands out a text in pieces of a fixed size, then a final result that ends the stream.
class PieceStream : public Tarv::IOStream
{
public:
    PieceStream(std::string text, int piece, int end) : m_text(std::move(text)), m_piece(piece), m_end(end) {}
    int Read(void* buffer, int count) override
    {
        if (m_position >= m_text.size())
            return m_end;
        const int n = std::min<int>({count, m_piece, static_cast<int>(m_text.size() - m_position)});
        std::memcpy(buffer, m_text.data() + m_position, static_cast<std::size_t>(n));
        m_position += static_cast<std::size_t>(n);
        return n;
    }
    int Write(const void*, int) override { return 0; }

private:
    std::string m_text;
    std::size_t m_position = 0;
    int m_piece;
    int m_end;
};

} // namespace

TEST(XmlFile, StreamIsReadToItsEndInPieces)
{
    std::string text = "<r>";
    text += std::string(5000, 'x');
    text += "</r>";
    PieceStream stream(text, 7, -1);
    XmlPtr document = Tarv::Xml::CreateFromStream(stream);
    ASSERT_TRUE(document);
    EXPECT_EQ(std::strlen(XmlIterator(document).GetText()), 5000u);

    PieceStream empty("", 1024, 0);
    XmlPtr none = Tarv::Xml::CreateFromStream(empty);
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->GetRoot());
}

TEST(XmlFile, FilesComeThroughTheVirtualFileSystem)
{
    TestFiles::TempDir dir;
    ASSERT_TRUE(TestFiles::WriteText(dir / "good.xml", "<r>ok</r>"));
    ASSERT_TRUE(TestFiles::WriteText(dir / "bad.xml", "<r>"));
    Tarv::VfsInit();
    Tarv::VfsMountNative(dir.Path() + "/", "data/", 0);

    XmlPtr good = Tarv::Xml::CreateFromFile("data/good.xml");
    ASSERT_TRUE(good);
    EXPECT_STREQ(XmlIterator(good).GetText(), "ok");
    EXPECT_FALSE(Tarv::Xml::CreateFromFile("data/bad.xml"));
    EXPECT_FALSE(Tarv::Xml::CreateFromFile("data/missing.xml"));
    EXPECT_FALSE(XmlIterator(Tarv::Xml::CreateFromFile("data/missing.xml")).IsValid());
    // The pointer made from a path holds what CreateFromFile gives.
    EXPECT_STREQ(XmlIterator(XmlPtr(Tarv::NarrowString("data/good.xml"))).GetText(), "ok");
    EXPECT_FALSE(XmlPtr(Tarv::NarrowString("data/bad.xml")));
    Tarv::VfsShutdown();
}

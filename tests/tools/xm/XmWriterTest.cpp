// The module generator's bytes: the fixed header, cell packing, instrument and sample headers
// and the delta coding, as the published XM layout places them.
#include "tools/xm/XmWriter.h"

#include "tools/xm/XmFixtures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace
{

unsigned U16(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    return bytes[offset] | (bytes[offset + 1] << 8);
}

unsigned U32(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    return U16(bytes, offset) | (U16(bytes, offset + 2) << 16);
}

std::vector<std::uint8_t> Pack(const Tarv::XmCell& cell)
{
    std::vector<std::uint8_t> out;
    Tarv::XmWriter::PackCell(cell, out);
    return out;
}

} // namespace

TEST(XmWriter, PacksCellsTheWayFastTrackerDoes)
{
    EXPECT_EQ(Pack({}), std::vector<std::uint8_t>({0x80}));
    EXPECT_EQ(Pack({49, 1, 0, 0, 0}), std::vector<std::uint8_t>({0x83, 49, 1}));
    EXPECT_EQ(Pack({0, 0, 0x40, 0x0C, 0x20}), std::vector<std::uint8_t>({0x9C, 0x40, 0x0C, 0x20}));
    EXPECT_EQ(Pack({49, 1, 0x40, 0x0C, 0x20}), std::vector<std::uint8_t>({49, 1, 0x40, 0x0C, 0x20}));
    // A full cell whose note has bit 7 set would read as a mask: it stays packed.
    EXPECT_EQ(Pack({0x90, 1, 2, 3, 4}), std::vector<std::uint8_t>({0x9F, 0x90, 1, 2, 3, 4}));
}

TEST(XmWriter, NamesNotesAsTheFormatNumbersThem)
{
    EXPECT_EQ(Tarv::XmNote("C-0"), 1);
    EXPECT_EQ(Tarv::XmNote("C-4"), 49);
    EXPECT_EQ(Tarv::XmNote("A#3"), 47);
    EXPECT_EQ(Tarv::XmNote("B-7"), 96);
    EXPECT_EQ(Tarv::XmNote("H-4"), 0);
    EXPECT_EQ(Tarv::XmNote("C-8"), 0);
    EXPECT_EQ(Tarv::XmNote(nullptr), 0);
}

TEST(XmWriter, WritesThePublishedLayout)
{
    Tarv::XmModuleDesc module;
    ASSERT_TRUE(Tarv::MakeXmFixture("loops", module));
    Tarv::XmWriter writer;
    const std::vector<std::uint8_t> bytes = writer.Write(module);
    EXPECT_EQ(0, std::memcmp(bytes.data(), "Extended Module: loops", 22));
    EXPECT_EQ(bytes[37], 0x1A);
    EXPECT_EQ(U16(bytes, 58), 0x0104u);
    EXPECT_EQ(U32(bytes, 60), 276u);
    EXPECT_EQ(U16(bytes, 68), 3u);
    EXPECT_EQ(U16(bytes, 72), 3u);
    const Tarv::XmWriter::Layout& layout = writer.GetLayout();
    EXPECT_EQ(layout.firstPattern, 336u);
    EXPECT_EQ(U32(bytes, 336), 9u);
    EXPECT_EQ(U16(bytes, 341), 16u);
    EXPECT_EQ(layout.firstInstrument, 336u + 9 + U16(bytes, 343));
    EXPECT_EQ(U32(bytes, layout.firstInstrument), 263u);
    EXPECT_EQ(layout.sampleHeaders[0], layout.firstInstrument + 263);
    EXPECT_EQ(layout.sampleData[0], layout.sampleHeaders[0] + 40);
    // 16-bit forward loop with relative note 12 and finetune -16, lengths in bytes.
    const std::size_t header = layout.sampleHeaders[0];
    EXPECT_EQ(U32(bytes, header), 100u);
    EXPECT_EQ(U32(bytes, header + 8), 100u);
    EXPECT_EQ(bytes[header + 13], 0xF0);
    EXPECT_EQ(bytes[header + 14], 0x11);
    EXPECT_EQ(bytes[header + 16], 12);
    // The 8-bit ping-pong sample is one byte per sample.
    EXPECT_EQ(bytes[layout.sampleHeaders[1] + 14], 0x02);
    EXPECT_EQ(U32(bytes, layout.sampleHeaders[1]), 50u);
}

TEST(XmWriter, DeltaCodesSampleData)
{
    Tarv::XmModuleDesc module;
    module.orders = {0};
    module.patterns.emplace_back(1, 1);
    module.instruments.resize(1);
    Tarv::XmSampleDesc wide;
    wide.data = {100, -100, 32767, -32768};
    Tarv::XmSampleDesc narrow = wide;
    narrow.sixteenBit = false;
    module.instruments[0].samples = {wide, narrow};
    Tarv::XmWriter writer;
    const std::vector<std::uint8_t> bytes = writer.Write(module);
    const std::size_t data = writer.GetLayout().sampleData[0];
    EXPECT_EQ(U16(bytes, data), 100u);
    EXPECT_EQ(U16(bytes, data + 2), 0xFF38u);
    EXPECT_EQ(U16(bytes, data + 4), (32767u + 100) & 0xFFFF);
    EXPECT_EQ(U16(bytes, data + 6), 1u);
    const std::size_t eight = writer.GetLayout().sampleData[1];
    EXPECT_EQ(eight, data + 8);
    const std::vector<std::uint8_t> expected = {0x00, 0xFF, 0x80, 0x01};
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + static_cast<long>(eight), bytes.end()), expected);
}

TEST(XmFixtures, EveryNamedFixtureIsMadeAndUnknownNamesAreNot)
{
    for (const std::string& name : Tarv::GetXmFixtureNames()) {
        Tarv::XmModuleDesc module;
        ASSERT_TRUE(Tarv::MakeXmFixture(name, module)) << name;
        EXPECT_FALSE(module.orders.empty()) << name;
        for (std::uint8_t order : module.orders)
            EXPECT_LT(order, module.patterns.size()) << name;
    }
    Tarv::XmModuleDesc module;
    EXPECT_FALSE(Tarv::MakeXmFixture("nothing", module));
}

// Run-length pixel decoding with every count and offset checked, and the matching encoder.
#include "graphics/image/RunLength.h"

namespace Tarv
{

namespace
{

unsigned ReadU16(const std::uint8_t* p)
{
    return unsigned(p[0]) | (unsigned(p[1]) << 8);
}

void WriteU16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(std::uint8_t(value & 0xFF));
    out.push_back(std::uint8_t((value >> 8) & 0xFF));
}

// A 565 word and a 5-bit alpha widened by replicating their top bits.
void Expand(unsigned word, unsigned alpha5, std::uint8_t* out)
{
    const unsigned r5 = (word >> 11) & 0x1F;
    const unsigned g6 = (word >> 5) & 0x3F;
    const unsigned b5 = word & 0x1F;
    const unsigned a5 = alpha5 & 0x1F;
    out[0] = std::uint8_t((r5 << 3) | (r5 >> 2));
    out[1] = std::uint8_t((g6 << 2) | (g6 >> 4));
    out[2] = std::uint8_t((b5 << 3) | (b5 >> 2));
    out[3] = std::uint8_t((a5 << 3) | (a5 >> 2));
}

std::size_t PayloadSize(unsigned type, unsigned count)
{
    switch (type) {
    case RUN_TRANSPARENT: return 0;
    case RUN_TRANSLUCENT_LITERAL: return 3 * std::size_t(count);
    case RUN_OPAQUE_LITERAL: return 2 * std::size_t(count);
    case RUN_TRANSLUCENT_REPEAT: return 3;
    default: return 2;
    }
}

void WritePixels(unsigned type, unsigned count, const std::uint8_t* payload, std::uint8_t* out)
{
    for (unsigned i = 0; i < count; ++i, out += 4) {
        switch (type) {
        case RUN_TRANSPARENT:
            out[0] = out[1] = out[2] = out[3] = 0;
            break;
        case RUN_TRANSLUCENT_LITERAL:
            Expand(ReadU16(payload + 3 * i + 1), payload[3 * i], out);
            break;
        case RUN_OPAQUE_LITERAL:
            Expand(ReadU16(payload + 2 * i), 31, out);
            break;
        case RUN_TRANSLUCENT_REPEAT:
            Expand(ReadU16(payload + 1), payload[0], out);
            break;
        default:
            Expand(ReadU16(payload), 31, out);
            break;
        }
    }
}

// One row's runs from data + offset, up to size, until they cover width pixels; offset ends
// after the last run. A row's runs never continue into the next row.
bool DecodeRow(const std::uint8_t* data, std::size_t size, std::size_t& offset, int width,
               std::uint8_t* out)
{
    unsigned covered = 0;
    while (covered < unsigned(width)) {
        if (size - offset < 3)
            return false;
        const unsigned type = data[offset];
        const unsigned count = ReadU16(data + offset + 1);
        offset += 3;
        if (type > RUN_OPAQUE_REPEAT || count == 0 || count > unsigned(width) - covered)
            return false;
        const std::size_t payload = PayloadSize(type, count);
        if (size - offset < payload)
            return false;
        if (out != nullptr)
            WritePixels(type, count, data + offset, out + std::size_t(covered) * 4);
        offset += payload;
        covered += count;
    }
    return true;
}

std::uint16_t To565(const std::uint8_t* px)
{
    return std::uint16_t(((px[0] >> 3) << 11) | ((px[1] >> 2) << 5) | (px[2] >> 3));
}

// A pixel's class (0 transparent, 1 translucent, 2 opaque) and its encoded entry.
struct Entry
{
    int kind;
    unsigned alpha5;
    std::uint16_t word;
    bool operator==(const Entry& o) const { return alpha5 == o.alpha5 && word == o.word; }
};

Entry MakeEntry(const std::uint8_t* px)
{
    const unsigned a5 = px[3] >> 3;
    return Entry{a5 == 0 ? 0 : (a5 == 31 ? 2 : 1), a5, To565(px)};
}

void EmitEntry(std::vector<std::uint8_t>& out, const Entry& e)
{
    if (e.kind == 1)
        out.push_back(std::uint8_t(e.alpha5));
    WriteU16(out, e.word);
}

void EmitLiteral(std::vector<std::uint8_t>& out, const std::vector<Entry>& literal)
{
    if (literal.empty())
        return;
    out.push_back(literal[0].kind == 1 ? RUN_TRANSLUCENT_LITERAL : RUN_OPAQUE_LITERAL);
    WriteU16(out, unsigned(literal.size()));
    for (const Entry& e : literal)
        EmitEntry(out, e);
}

void EncodeRow(const std::uint8_t* row, int width, std::vector<std::uint8_t>& out)
{
    int x = 0;
    while (x < width) {
        const Entry first = MakeEntry(row + 4 * x);
        int end = x + 1;
        while (end < width && MakeEntry(row + 4 * end).kind == first.kind)
            ++end;
        if (first.kind == 0) {
            out.push_back(RUN_TRANSPARENT);
            WriteU16(out, unsigned(end - x));
            x = end;
            continue;
        }
        std::vector<Entry> literal;
        while (x < end) {
            const Entry e = MakeEntry(row + 4 * x);
            int same = x + 1;
            while (same < end && MakeEntry(row + 4 * same) == e)
                ++same;
            if (same - x >= 2) {
                EmitLiteral(out, literal);
                literal.clear();
                out.push_back(e.kind == 1 ? RUN_TRANSLUCENT_REPEAT : RUN_OPAQUE_REPEAT);
                WriteU16(out, unsigned(same - x));
                EmitEntry(out, e);
            } else {
                literal.push_back(e);
            }
            x = same;
        }
        EmitLiteral(out, literal);
    }
}

} // namespace

bool DecodeRunLength(const std::uint8_t* data, std::size_t size, int width, int height,
                     std::uint8_t* out, std::size_t outStride)
{
    if (data == nullptr || width < 1 || height < 1 || width > 0xFFFF)
        return false;
    std::size_t offset = 0;
    for (int y = 0; y < height; ++y) {
        // The row header's mark and byte count are not needed to find the runs: they are
        // skipped, and the runs themselves say where the row ends.
        if (size - offset < 3)
            return false;
        offset += 3;
        std::uint8_t* row = out != nullptr ? out + std::size_t(y) * outStride : nullptr;
        if (!DecodeRow(data, size, offset, width, row))
            return false;
    }
    return true;
}

std::vector<std::uint8_t> EncodeRunLength(const std::uint8_t* rgba, int width, int height)
{
    std::vector<std::uint8_t> out;
    if (rgba == nullptr || width < 1 || height < 1 || width > 0xFFFF)
        return out;
    for (int y = 0; y < height; ++y) {
        const std::size_t headerAt = out.size();
        out.push_back(RLE_ROW_MARK);
        WriteU16(out, 0);
        EncodeRow(rgba + std::size_t(y) * std::size_t(width) * 4, width, out);
        const std::size_t rowBytes = out.size() - headerAt - 3;
        if (rowBytes > 0xFFFF)
            return {};
        out[headerAt + 1] = std::uint8_t(rowBytes & 0xFF);
        out[headerAt + 2] = std::uint8_t((rowBytes >> 8) & 0xFF);
    }
    return out;
}

} // namespace Tarv

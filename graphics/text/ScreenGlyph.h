// Tarv::ScreenGlyph: one placed glyph (position, font image, source cell, colour), the glyph
// arrays the layouts return, and Tarv::Text::GlyphWriter, the cursor that fills one.
#pragma once

#include "engine/core/SmartPtr.h"
#include "graphics/render/Surface.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace Tarv
{

struct ScreenGlyph
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    // Null only in records that hold no glyph: the first such record ends the array.
    SmartPtr<Surface> image;
    std::int32_t rect[4] = {0, 0, 0, 0};
    std::uint8_t color[4] = {0, 0, 0, 255};
};

// N + 1 records for N characters; record N is never written, so every array ends.
using GlyphArray = std::unique_ptr<ScreenGlyph[]>;

namespace Text
{

class GlyphWriter
{
public:
    GlyphWriter(ScreenGlyph* records, std::size_t capacity)
        : m_records(records), m_capacity(capacity)
    {
    }
    // The record the next glyph goes to; null when the array has no room for one.
    ScreenGlyph* GetCurrent() const { return m_index + 1 < m_capacity ? m_records + m_index : nullptr; }
    // Moves on only while a record other than the terminator follows.
    void Advance()
    {
        if (m_index + 2 < m_capacity)
            ++m_index;
        else
            m_index = m_capacity > 0 ? m_capacity - 1 : 0;
    }
    std::size_t GetIndex() const { return m_index; }

private:
    ScreenGlyph* m_records;
    std::size_t m_capacity;
    std::size_t m_index = 0;
};

} // namespace Text
} // namespace Tarv

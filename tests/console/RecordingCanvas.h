// A console canvas that records every call as a line of text, and reads glyph rows back as text.
#pragma once

#include "console/ConsoleCanvas.h"

#include <map>
#include <string>
#include <vector>

namespace ConsoleTest
{

class RecordingCanvas : public Tarv::ConsoleCanvas
{
public:
    RecordingCanvas(int width = 800, int height = 480) : m_width(width), m_height(height) {}

    int GetWidth() const override { return m_width; }
    int GetHeight() const override { return m_height; }
    void FillRect(int x1, int y1, int x2, int y2, const Tarv::ConsoleColor& c) override
    {
        Add("fill", {x1, y1, x2, y2, c.r, c.g, c.b, c.a});
    }
    void DrawRect(int x1, int y1, int x2, int y2, const Tarv::ConsoleColor& c) override
    {
        Add("rect", {x1, y1, x2, y2, c.r, c.g, c.b, c.a});
    }
    void DrawLine(int x1, int y1, int x2, int y2, const Tarv::ConsoleColor& c) override
    {
        Add("line", {x1, y1, x2, y2, c.r, c.g, c.b, c.a});
    }
    void DrawGlyph(int x, int y, int cell) override
    {
        Add("glyph", {x, y, cell});
        m_rows[y][x] = char(cell + 32);
    }
    void DrawTintedGlyph(int x, int y, int cell, std::uint8_t r, std::uint8_t g, std::uint8_t b) override
    {
        Add("tint", {x, y, cell, r, g, b});
        m_rows[y][x] = char(cell + 32);
    }
    void DrawDiskIcon(int x, int y) override { Add("disk", {x, y}); }
    void SetFontKeyed(bool keyed) override { Add("keyed", {keyed ? 1 : 0}); }

    // Every call, in order.
    const std::vector<std::string>& Calls() const { return calls; }
    // The calls whose name is `name`.
    std::vector<std::string> Only(const std::string& name) const
    {
        std::vector<std::string> out;
        for (const std::string& call : calls)
            if (call.compare(0, name.size() + 1, name + " ") == 0)
                out.push_back(call);
        return out;
    }
    // The glyphs drawn on row y as text, gaps of a cell or more as blanks; "" for none.
    std::string Row(int y) const
    {
        const auto row = m_rows.find(y);
        if (row == m_rows.end())
            return "";
        std::string text;
        int next = row->second.begin()->first;
        for (const auto& glyph : row->second) {
            for (; next + 8 <= glyph.first; next += 8)
                text += ' ';
            text += glyph.second;
            next = glyph.first + 8;
        }
        return text;
    }
    // Rows that hold glyphs.
    std::vector<int> Rows() const
    {
        std::vector<int> rows;
        for (const auto& row : m_rows)
            rows.push_back(row.first);
        return rows;
    }

    std::vector<std::string> calls;

private:
    void Add(const char* name, std::initializer_list<int> values)
    {
        std::string call = name;
        for (int value : values)
            call += " " + std::to_string(value);
        calls.push_back(call);
    }

    int m_width;
    int m_height;
    std::map<int, std::map<int, char>> m_rows;
};

} // namespace ConsoleTest

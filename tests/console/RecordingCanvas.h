// A console canvas that records every call as a line of text and reads glyph rows back as text.
#pragma once

#include "console/ConsoleCanvas.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace ConsoleTest
{

class RecordingCanvas : public Tarv::ConsoleCanvas
{
public:
    int GetWidth() const override { return 800; }
    int GetHeight() const override { return 480; }
    void FillRect(int x1, int y1, int x2, int y2, const Tarv::ConsoleColor& c) override { Shape("fill", x1, y1, x2, y2, c); }
    void DrawRect(int x1, int y1, int x2, int y2, const Tarv::ConsoleColor& c) override { Shape("rect", x1, y1, x2, y2, c); }
    void DrawLine(int x1, int y1, int x2, int y2, const Tarv::ConsoleColor& c) override { Shape("line", x1, y1, x2, y2, c); }
    void DrawGlyph(int x, int y, int cell) override { Add("glyph", {x, y, cell}), rows[y][x] = char(cell + 32); }
    void DrawTintedGlyph(int x, int y, int cell, std::uint8_t r, std::uint8_t g, std::uint8_t b) override
    {
        Add("tint", {x, y, cell, r, g, b}), rows[y][x] = char(cell + 32);
    }
    void DrawDiskIcon(int x, int y) override { Add("disk", {x, y}); }
    void SetFontKeyed(bool keyed) override { Add("keyed", {keyed ? 1 : 0}); }

    // The calls named `name`, in order.
    std::vector<std::string> Only(const std::string& name) const
    {
        std::vector<std::string> out;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                     [&](const std::string& call) { return call.rfind(name + " ", 0) == 0; });
        return out;
    }
    bool Has(const std::string& call) const { return std::find(calls.begin(), calls.end(), call) != calls.end(); }
    // The glyphs on row y as text, a blank for each empty cell between them.
    std::string Row(int y) const
    {
        std::string text;
        const auto row = rows.find(y);
        for (int next = row == rows.end() ? 0 : row->second.begin()->first; row != rows.end(); next += 8) {
            const auto glyph = row->second.lower_bound(next);
            if (glyph == row->second.end())
                break;
            text += glyph->first < next + 8 ? glyph->second : ' ';
        }
        return text;
    }

    std::vector<std::string> calls;
    std::map<int, std::map<int, char>> rows;

private:
    void Shape(const char* name, int x1, int y1, int x2, int y2, const Tarv::ConsoleColor& c)
    {
        Add(name, {x1, y1, x2, y2, c.r, c.g, c.b, c.a});
    }
    void Add(const char* name, std::initializer_list<int> values)
    {
        std::string call = name;
        for (int value : values)
            call += " " + std::to_string(value);
        calls.push_back(call);
    }
};

} // namespace ConsoleTest

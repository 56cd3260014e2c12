// Shelf packing onto power-of-two pages, border extrusion and the atlas XML writer.
#include "tools/image/AtlasPacker.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <utility>

namespace Tarv
{

namespace
{

NarrowString EscapeAttribute(const NarrowString& text)
{
    NarrowString out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c; break;
        }
    }
    return out;
}

void CopyPixel(RgbaImage& page, int fromX, int fromY, int toX, int toY)
{
    if (toX < 0 || toY < 0 || toX >= page.width || toY >= page.height)
        return;
    std::memcpy(&page.pixels[(std::size_t(toY) * page.width + toX) * 4],
                &page.pixels[(std::size_t(fromY) * page.width + fromX) * 4], 4);
}

// Gives every fully transparent pixel next to a visible one the average colour of its visible
// neighbours (alpha stays 0), so linear filtering at an image's edge shows no dark fringe.
void BleedColour(RgbaImage& image)
{
    const std::vector<std::uint8_t> source = image.pixels;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t* pixel = &image.pixels[(std::size_t(y) * image.width + x) * 4];
            if (pixel[3] != 0)
                continue;
            int sum[3] = {0, 0, 0}, count = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= image.width || ny >= image.height)
                        continue;
                    const std::uint8_t* near = &source[(std::size_t(ny) * image.width + nx) * 4];
                    if (near[3] == 0)
                        continue;
                    for (int c = 0; c < 3; ++c)
                        sum[c] += near[c];
                    ++count;
                }
            }
            for (int c = 0; c < 3 && count > 0; ++c)
                pixel[c] = std::uint8_t(sum[c] / count);
        }
    }
}

} // namespace

bool AtlasPacker::Add(const NarrowString& id, const RgbaImage& image)
{
    if (image.width < 1 || image.height < 1
        || image.pixels.size() != std::size_t(image.width) * image.height * 4)
        return false;
    for (const Entry& entry : m_entries)
        if (entry.id == id)
            return false;
    m_entries.push_back(Entry{id, image, 0, 0});
    BleedColour(m_entries.back().image);
    return true;
}

bool AtlasPacker::AddFolder(const NarrowString& root, const NarrowString& folder)
{
    namespace fs = std::filesystem;
    const fs::path base(static_cast<const std::string&>(root));
    std::error_code error;
    if (!fs::is_directory(base / std::string(folder), error))
        return false;
    std::vector<fs::path> files;
    for (const auto& item : fs::recursive_directory_iterator(base / std::string(folder), error))
        if (item.is_regular_file() && item.path().extension() == ".png")
            files.push_back(item.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        RgbaImage image;
        if (!RgbaImage::ReadFile(file.string(), image))
            return false;
        if (!Add(NarrowString(file.lexically_relative(base).generic_string()), image))
            return false;
    }
    return !error;
}

std::vector<std::size_t> AtlasPacker::SortedOrder() const
{
    std::vector<std::size_t> order(m_entries.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        if (m_entries[a].image.height != m_entries[b].image.height)
            return m_entries[a].image.height > m_entries[b].image.height;
        return m_entries[a].id < m_entries[b].id;
    });
    return order;
}

bool AtlasPacker::PackSplit(int maxSide, std::size_t pageCount, std::vector<AtlasPacker>& out) const
{
    out.clear();
    const std::vector<std::size_t> order = SortedOrder();
    std::size_t next = 0;
    while (next < order.size()) {
        if (out.size() == pageCount)
            return false;
        // Grow the page one image at a time; the first image that no longer fits begins the next.
        AtlasPacker page;
        std::size_t taken = 0;
        while (next + taken < order.size()) {
            AtlasPacker grown = page;
            const Entry& entry = m_entries[order[next + taken]];
            grown.m_entries.push_back(entry);
            if (!grown.Pack(maxSide))
                break;
            page = std::move(grown);
            ++taken;
        }
        if (taken == 0)
            return false;
        next += taken;
        out.push_back(std::move(page));
    }
    return !out.empty();
}

bool AtlasPacker::Pack(int maxSide)
{
    if (m_entries.empty())
        return false;
    const std::vector<std::size_t> order = SortedOrder();
    std::vector<std::pair<int, int>> sizes;
    for (int w = 1; w <= maxSide; w *= 2)
        for (int h = 1; h <= maxSide; h *= 2)
            sizes.emplace_back(w, h);
    std::sort(sizes.begin(), sizes.end(), [](const auto& a, const auto& b) {
        const long long areaA = 1LL * a.first * a.second, areaB = 1LL * b.first * b.second;
        return areaA != areaB ? areaA < areaB : a.first < b.first;
    });
    for (const auto& size : sizes) {
        if (!Place(size.first, size.second, order))
            continue;
        m_page = RgbaImage();
        m_page.width = size.first;
        m_page.height = size.second;
        m_page.pixels.assign(std::size_t(size.first) * size.second * 4, 0);
        for (const Entry& entry : m_entries)
            Draw(entry);
        return true;
    }
    return false;
}

bool AtlasPacker::Place(int pageWidth, int pageHeight, const std::vector<std::size_t>& order)
{
    return PlaceOnShelves(pageWidth, pageHeight, order) || PlaceOnSkyline(pageWidth, pageHeight, order);
}

bool AtlasPacker::PlaceOnShelves(int pageWidth, int pageHeight, const std::vector<std::size_t>& order)
{
    // Tallest first: each image goes on the first shelf with room left beside what it holds (so
    // small images fill the space beside a tall one) or on a new shelf under the last.
    struct Shelf {
        int y, height, x;
    };
    std::vector<Shelf> shelves;
    for (std::size_t index : order) {
        Entry& entry = m_entries[index];
        const int width = entry.image.width, height = entry.image.height;
        Shelf* shelf = nullptr;
        for (Shelf& candidate : shelves) {
            if (height <= candidate.height && candidate.x + width <= pageWidth) {
                shelf = &candidate;
                break;
            }
        }
        if (shelf == nullptr) {
            const int y = shelves.empty() ? 0 : shelves.back().y + shelves.back().height + PADDING;
            if (width > pageWidth || y + height > pageHeight)
                return false;
            shelves.push_back({y, height, 0});
            shelf = &shelves.back();
        }
        entry.x = shelf->x;
        entry.y = shelf->y;
        shelf->x += width + PADDING;
    }
    return true;
}

bool AtlasPacker::PlaceOnSkyline(int pageWidth, int pageHeight, const std::vector<std::size_t>& order)
{
    // The lowest free edge across the page, as runs of columns; each image goes where its top
    // lands highest (leftmost among equals), so the room under a short image beside a tall one
    // is used too.
    struct Run {
        int x, width, y;
    };
    std::vector<Run> skyline{{0, pageWidth, 0}};
    for (std::size_t index : order) {
        Entry& entry = m_entries[index];
        const int width = entry.image.width, height = entry.image.height;
        int bestX = -1, bestY = pageHeight;
        for (const Run& start : skyline) {
            if (start.x + width > pageWidth)
                break;
            int y = 0;
            for (const Run& run : skyline)
                if (run.x < start.x + width && run.x + run.width > start.x)
                    y = std::max(y, run.y);
            if (y + height <= pageHeight && y < bestY) {
                bestX = start.x;
                bestY = y;
            }
        }
        if (bestX < 0)
            return false;
        entry.x = bestX;
        entry.y = bestY;
        // The image and the gap after it raise the columns it covers.
        const int left = bestX, right = std::min(pageWidth, bestX + width + PADDING);
        std::vector<Run> raised;
        for (const Run& run : skyline) {
            const int end = run.x + run.width;
            if (end <= left || run.x >= right) {
                raised.push_back(run);
                continue;
            }
            if (run.x < left)
                raised.push_back({run.x, left - run.x, run.y});
            if (run.x <= left)
                raised.push_back({left, right - left, bestY + height + PADDING});
            if (end > right)
                raised.push_back({right, end - right, run.y});
        }
        skyline = std::move(raised);
    }
    return true;
}

void AtlasPacker::Draw(const Entry& entry)
{
    const RgbaImage& image = entry.image;
    for (int row = 0; row < image.height; ++row)
        std::memcpy(&m_page.pixels[(std::size_t(entry.y + row) * m_page.width + entry.x) * 4],
                    &image.pixels[std::size_t(row) * image.width * 4], std::size_t(image.width) * 4);
    const int right = entry.x + image.width - 1, bottom = entry.y + image.height - 1;
    for (int row = entry.y; row <= bottom; ++row) {
        CopyPixel(m_page, entry.x, row, entry.x - 1, row);
        CopyPixel(m_page, right, row, right + 1, row);
    }
    for (int column = entry.x - 1; column <= right + 1; ++column) {
        const int from = std::min(std::max(column, entry.x), right);
        CopyPixel(m_page, from, entry.y, column, entry.y - 1);
        CopyPixel(m_page, from, bottom, column, bottom + 1);
    }
}

NarrowString AtlasPacker::GetXml() const
{
    NarrowString xml("<atlas>\n");
    for (const Entry& entry : m_entries) {
        xml += "  <rect id=\"" + EscapeAttribute(entry.id) + "\"";
        xml += " x=\"" + std::to_string(entry.x) + "\" y=\"" + std::to_string(entry.y) + "\"";
        xml += " width=\"" + std::to_string(entry.image.width) + "\" height=\""
            + std::to_string(entry.image.height) + "\"/>\n";
    }
    xml += "</atlas>\n";
    return xml;
}

} // namespace Tarv

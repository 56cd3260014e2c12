// Tarv::AtlasPacker: packs many images into one power-of-two page and writes the page and the
// atlas XML whose region ids are the image paths the game requests.
#pragma once

#include "engine/core/NarrowString.h"
#include "tools/image/RgbaImage.h"

#include <vector>

namespace Tarv
{

class AtlasPacker
{
public:
    // Pixels between neighbouring regions; each region's border is repeated into the gap so
    // that linear filtering at its edges never samples a neighbour.
    static constexpr int PADDING = 2;

    // Adds one image under id, its fully transparent pixels coloured like their visible
    // neighbours; false for an empty image or an id already added.
    bool Add(const NarrowString& id, const RgbaImage& image);
    // Adds every ".png" file below root/folder, in path order, each with its path relative to
    // root ("/"-separated) as id. False when the folder is missing or a file cannot be read.
    bool AddFolder(const NarrowString& root, const NarrowString& folder);

    // Places the images on the smallest page (by area, then width) of power-of-two sides up to
    // maxSide that holds them all, on shelves of decreasing height (or along a skyline where
    // the shelves leave too much room unused). False when nothing was added or they do not fit.
    bool Pack(int maxSide);
    // Packs the images, largest first, onto up to pageCount pages of sides up to maxSide, each
    // page holding as many as fit before the next is begun; pages are filled in order and any
    // left over stay empty (out holds only the used ones). False when nothing was added or the
    // images need more pages.
    bool PackSplit(int maxSide, std::size_t pageCount, std::vector<AtlasPacker>& out) const;
    // After Pack: the page (transparent where nothing lies) and the atlas XML.
    const RgbaImage& GetPage() const { return m_page; }
    NarrowString GetXml() const;

private:
    struct Entry
    {
        NarrowString id;
        RgbaImage image;
        int x = 0;
        int y = 0;
    };

    // Shelves first, so a page that fits that way keeps its layout from build to build; the
    // skyline where they leave too much room unused to fit.
    bool Place(int pageWidth, int pageHeight, const std::vector<std::size_t>& order);
    bool PlaceOnShelves(int pageWidth, int pageHeight, const std::vector<std::size_t>& order);
    bool PlaceOnSkyline(int pageWidth, int pageHeight, const std::vector<std::size_t>& order);
    std::vector<std::size_t> SortedOrder() const;
    void Draw(const Entry& entry);

    std::vector<Entry> m_entries;
    RgbaImage m_page;
};

} // namespace Tarv

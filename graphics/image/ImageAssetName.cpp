// Image asset-name parsing: the one place the option words are recognised.
#include "graphics/image/ImageAssetName.h"

namespace Tarv
{

namespace
{

void ApplyWord(const std::string& word, ImageAssetName& out)
{
    if (word == "565" || word == "rle")
        return;
    if (word == "ck") {
        out.colorKey = true;
        out.flags |= SURFACE_FLAG_COLOR_KEY;
    } else if (word == "linear") {
        out.flags |= SURFACE_FLAG_LINEAR;
    }
}

} // namespace

ImageAssetName ImageAssetName::Parse(const NarrowString& name)
{
    ImageAssetName out;
    const std::size_t at = name.rfind('@');
    if (at == std::string::npos) {
        out.path = name;
        return out;
    }
    out.path = NarrowString(name.substr(0, at));
    out.hasOptions = true;
    std::size_t position = at + 1;
    while (position < name.size()) {
        if (name[position] == ',') {
            ++position;
            continue;
        }
        std::size_t end = name.find(',', position);
        if (end == std::string::npos)
            end = name.size();
        ApplyWord(name.substr(position, end - position), out);
        position = end;
    }
    return out;
}

} // namespace Tarv

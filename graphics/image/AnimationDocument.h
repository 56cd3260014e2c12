// Tarv::AnimationDocument: the frame list, loop flag and script path of an animation XML file
// (one that begins exactly `<?xml version="1.0"`). Data only: the animated surface fetches the
// frame images and runs the script.
#pragma once

#include "engine/core/NarrowString.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Tarv
{

struct AnimationFrameInfo
{
    NarrowString image;  // asset name of the frame image; options allowed
    int timeMs = 0;
    float seconds = 0.0f; // timeMs x 0.001, in single precision
    int x = 0;           // draw offset of the frame
    int y = 0;
};

class AnimationDocument
{
public:
    // Reads the document; false (the document left empty) when it does not parse or has no
    // "frame" child of the root. A frame without a readable "time" lasts as long as the one
    // before it, and the first such frame 0 ms.
    bool Parse(const std::uint8_t* data, std::size_t size);

    bool IsLooping() const { return m_loop; }
    // Empty when the document names no script.
    const NarrowString& GetScriptPath() const { return m_script; }
    const std::vector<AnimationFrameInfo>& GetFrames() const { return m_frames; }

private:
    bool m_loop = false;
    NarrowString m_script;
    std::vector<AnimationFrameInfo> m_frames;
};

} // namespace Tarv

// Animation XML reading: root attributes "loop" and "script", and "frame" children with
// "image", "time", "x" and "y".
#include "graphics/image/AnimationDocument.h"

#include "engine/core/Xml.h"
#include "engine/core/XmlIterator.h"

namespace Tarv
{

bool AnimationDocument::Parse(const std::uint8_t* data, std::size_t size)
{
    m_loop = false;
    m_script.clear();
    m_frames.clear();
    if (data == nullptr)
        return false;
    // The iterator borrows the document, which lives until the end of the walk.
    const XmlPtr document = Xml::CreateFromString(NarrowString(reinterpret_cast<const char*>(data), size));
    XmlIterator root(document);
    if (!root.IsValid())
        return false;

    bool loop = false;
    root.GetAttributeBool("loop", loop);
    NarrowString script;
    root.GetAttributeString("script", script);

    std::vector<AnimationFrameInfo> frames;
    int timeMs = 0;
    for (XmlIterator frame(root, "frame"); frame.IsValid(); frame.Next()) {
        AnimationFrameInfo info;
        frame.GetAttributeString("image", info.image);
        frame.GetAttributeInt("time", timeMs);
        info.timeMs = timeMs;
        info.seconds = float(timeMs) * 0.001f;
        frame.GetAttributeInt("x", info.x);
        frame.GetAttributeInt("y", info.y);
        frames.push_back(info);
    }
    if (frames.empty())
        return false;
    m_loop = loop;
    m_script = script;
    m_frames.swap(frames);
    return true;
}

} // namespace Tarv

// The animated sprite's frame stepping and its animation file.
//
// File format: a root element (any name) with the defaults "default-canvas-width",
// "default-canvas-height", "default-fps" (integers) and "default-loop" (yes/no, 1/0,
// true/false); "animation" children with "name" and, each falling back to its default,
// "canvas-width", "canvas-height", "fps" and "loop"; their "frame" children carry "x" and "y"
// (integers, 0 when absent: the image's top-left corner on the canvas, y down) and the image's
// asset path as text. Integers read as "%i" does (so "010" is octal 8 and "0x10" is 16).
// Missing root defaults read as canvas 0 x 0, 10 frames per second, no loop. Animations
// without a name or without frames, and frames without an image path, are left out. A name
// given twice keeps its first definition, while the name list holds it twice.
#include "scene/AnimatedSprite.h"

#include "engine/core/Xml.h"
#include "engine/core/XmlIterator.h"
#include "engine/vfs/XmlFile.h"
#include "framework/AssetFunctions.h"
#include "scene/Camera.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace Vund
{

namespace
{

constexpr int FALLBACK_FPS = 10;

struct Defaults
{
    int canvasWidth = 0;
    int canvasHeight = 0;
    int fps = FALLBACK_FPS;
    bool loop = false;
};

float IntervalOf(int fps)
{
    // A rate of 0 or less stands still rather than running every frame at once.
    return fps > 0 ? 1.0f / static_cast<float>(fps) : std::numeric_limits<float>::infinity();
}

Defaults ReadDefaults(const Tarv::XmlIterator& root)
{
    Defaults defaults;
    root.GetAttributeInt("default-canvas-width", defaults.canvasWidth);
    root.GetAttributeInt("default-canvas-height", defaults.canvasHeight);
    root.GetAttributeInt("default-fps", defaults.fps);
    root.GetAttributeBool("default-loop", defaults.loop);
    return defaults;
}

const Tarv::NarrowString& EmptyName()
{
    static const Tarv::NarrowString s_empty;
    return s_empty;
}

} // namespace

AnimatedSprite::PoolVectorRef::~PoolVectorRef()
{
    for (Frame& frame : *this)
        frame.image.Reset();
}

AnimatedSprite::AnimatedSprite(const Tarv::NarrowString& path, const Vector3D& position_,
                               const Tarv::NarrowString& options, const float& scale_)
    : Sprite(position_, scale_), Process("animated sprite"), m_path(path)
{
    Load(options);
    if (!m_names.empty()) {
        const Animation* first = GetAnimation(m_names.front());
        StartAnimation(m_names.front(), first->loop);
    }
}

void AnimatedSprite::Load(const Tarv::NarrowString& options)
{
    const Tarv::XmlPtr document = Tarv::Xml::CreateFromFile(m_path);
    const Tarv::XmlIterator root(document);
    if (!root.IsValid())
        return;
    const Defaults defaults = ReadDefaults(root);
    int counter = 0;
    for (Tarv::XmlIterator element(root, "animation"); element.IsValid(); element.Next()) {
        Tarv::NarrowString name;
        if (!element.GetAttributeString("name", name))
            continue;
        Animation animation;
        int fps = defaults.fps;
        animation.canvasWidth = defaults.canvasWidth;
        animation.canvasHeight = defaults.canvasHeight;
        animation.loop = defaults.loop;
        element.GetAttributeInt("canvas-width", animation.canvasWidth);
        element.GetAttributeInt("canvas-height", animation.canvasHeight);
        element.GetAttributeInt("fps", fps);
        element.GetAttributeBool("loop", animation.loop);
        animation.interval = IntervalOf(fps);
        animation.frames = Tarv::MakeSmart<PoolVectorRef>();
        for (Tarv::XmlIterator frameElement(element, "frame"); frameElement.IsValid(); frameElement.Next()) {
            Frame frame;
            Tarv::NarrowString image;
            if (!frameElement.GetTextString(image) || image.empty())
                continue;
            frameElement.GetAttributeInt("x", frame.x);
            frameElement.GetAttributeInt("y", frame.y);
            Tarv::NarrowString frameOptions = options;
            frame.image = Quor::GetSurface(image, frameOptions, false);
            animation.frames->push_back(frame);
        }
        if (animation.frames->empty())
            continue;
        animation.index = counter++;
        m_names.push_back(name);
        m_animations.emplace(name, animation);
    }
}

void AnimatedSprite::Play(const Tarv::NarrowString& name)
{
    if (const Animation* animation = GetAnimation(name))
        StartAnimation(name, animation->loop);
}

void AnimatedSprite::StartAnimation(const Tarv::NarrowString& name, bool loop)
{
    Animation* animation = GetAnimation(name);
    if (animation == nullptr)
        return;
    m_loop = loop;
    m_current = animation;
    SetInterval(animation->interval);
    m_frameIndex = 0;
}

const Tarv::NarrowString& AnimatedSprite::GetAnimationName() const
{
    if (m_current == nullptr)
        return EmptyName();
    return m_names[static_cast<std::size_t>(m_current->index)];
}

AnimatedSprite::Animation* AnimatedSprite::GetAnimation(const Tarv::NarrowString& name)
{
    const auto found = m_animations.find(name);
    return found != m_animations.end() ? &found->second : nullptr;
}

int AnimatedSprite::GetFps(const Tarv::NarrowString& name)
{
    const Animation* animation = GetAnimation(name);
    if (animation == nullptr)
        return 0;
    return TruncateToInt(1.0f / animation->interval + 0.5f);
}

void AnimatedSprite::SetFps(const Tarv::NarrowString& name, int fps)
{
    Animation* animation = GetAnimation(name);
    if (animation == nullptr)
        return;
    animation->interval = IntervalOf(fps);
    if (animation == m_current)
        SetInterval(animation->interval);
}

void AnimatedSprite::NextAnimation()
{
    if (m_current == nullptr)
        return;
    const std::size_t next = static_cast<std::size_t>(m_current->index) + 1;
    Play(m_names[next == m_names.size() ? 0 : next]);
}

void AnimatedSprite::PreviousAnimation()
{
    if (m_current == nullptr)
        return;
    const std::size_t index = static_cast<std::size_t>(m_current->index);
    Play(m_names[index == 0 ? m_names.size() - 1 : index - 1]);
}

void AnimatedSprite::NextFrame()
{
    // Without animations, or at a rate of 0 or less, nothing moves and no end is reported.
    if (m_current == nullptr || !std::isfinite(m_current->interval))
        return;
    const int count = static_cast<int>(m_current->frames->size());
    if (++m_frameIndex < count)
        return;
    if (m_loop) {
        m_frameIndex = 0;
        Restart(); // the catch-up time left in this tick is dropped
    } else {
        m_frameIndex = count - 1;
    }
    Finish();
}

bool AnimatedSprite::PreviousFrame()
{
    if (m_current == nullptr)
        return false;
    if (--m_frameIndex >= 0)
        return true;
    if (m_loop) {
        Restart();
        m_frameIndex = static_cast<int>(m_current->frames->size()) - 1;
    } else {
        m_frameIndex = 0;
    }
    return false;
}

void AnimatedSprite::ReloadFps()
{
    const Tarv::XmlPtr document = Tarv::Xml::CreateFromFile(m_path);
    const Tarv::XmlIterator root(document);
    if (!root.IsValid())
        return;
    const int defaultFps = ReadDefaults(root).fps;
    for (Tarv::XmlIterator element(root, "animation"); element.IsValid(); element.Next()) {
        Tarv::NarrowString name;
        int fps = defaultFps;
        if (!element.GetAttributeString("name", name))
            continue;
        element.GetAttributeInt("fps", fps);
        SetFps(name, fps);
    }
}

const AnimatedSprite::Frame* AnimatedSprite::GetCurrentFrame() const
{
    if (m_current == nullptr)
        return nullptr;
    return &(*m_current->frames)[static_cast<std::size_t>(m_frameIndex)];
}

Tarv::Surface* AnimatedSprite::GetSurface() const
{
    const Frame* frame = GetCurrentFrame();
    return frame != nullptr ? frame->image.Get() : nullptr;
}

SpriteOffset AnimatedSprite::GetOffset() const
{
    const Frame* frame = GetCurrentFrame();
    if (frame == nullptr)
        return SpriteOffset{0, 0};
    if (mirrorMode != 2)
        return SpriteOffset{frame->x, frame->y};
    const int imageWidth = frame->image ? frame->image->GetWidth() : 0;
    // In 64 bits: the canvas width and the frame's x come from the file.
    const long long x = static_cast<long long>(m_current->canvasWidth) - frame->x - imageWidth;
    return SpriteOffset{static_cast<int>(std::max<long long>(std::min<long long>(x, INT_MAX), INT_MIN)), frame->y};
}

int AnimatedSprite::GetWidth() const
{
    return m_current != nullptr ? m_current->canvasWidth : 0;
}

int AnimatedSprite::GetHeight() const
{
    return m_current != nullptr ? m_current->canvasHeight : 0;
}

bool AnimatedSprite::CanRemove()
{
    Restart();
    return false;
}

} // namespace Vund

// Vund::AnimatedSprite: a sprite that plays named frame animations read from one animation
// XML file, and a process that a process manager steps (one frame per whole frame interval).
// Each end of the playing animation reports the process finished; the sprite then refuses to
// be removed, so it stays in its manager until it is killed.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "framework/Process.h"
#include "scene/Sprite.h"

#include <map>
#include <vector>

namespace Vund
{

class AnimatedSprite : public Sprite, public Quor::Process
{
public:
    struct Frame
    {
        // Null when the image could not be had: such a frame draws nothing.
        Tarv::SmartPtr<Tarv::Surface> image;
        // The image's top-left corner on the canvas, y down.
        int x = 0;
        int y = 0;
    };

    // One animation's frames, a growable array shared by every copy of its record (the loader
    // holds it while filling it). Released last, it lets go of the images in list order.
    class PoolVectorRef : public std::vector<Frame>, public Tarv::RefCounter
    {
    public:
        ~PoolVectorRef() override;
    };

    struct Animation
    {
        // Seconds per frame; +infinity for a rate of 0 or less (the animation stands still).
        float interval = 0.0f;
        bool loop = false;
        Tarv::SmartPtr<PoolVectorRef> frames;
        int index = 0;
        int canvasWidth = 0;
        int canvasHeight = 0;
    };

    // Reads the animation file (format in AnimatedSprite.cpp) and starts its first animation.
    // Frame images are fetched as path "@" options ("linear" when options is empty). A missing
    // or damaged file gives a sprite without animations that draws nothing. Any thread.
    AnimatedSprite(const Tarv::NarrowString& path, const Vector3D& position, const Tarv::NarrowString& options,
                   const float& scale);

    // Starts the named animation with its own loop flag. A name the file does not define
    // changes nothing (also for StartAnimation, GetFps and SetFps; GetAnimation gives null).
    void Play(const Tarv::NarrowString& name);
    // Starts the named animation from its first frame, with the process timers reset.
    void StartAnimation(const Tarv::NarrowString& name, bool loop);
    // The playing animation's name; empty when there is none.
    const Tarv::NarrowString& GetAnimationName() const;
    Animation* GetAnimation(const Tarv::NarrowString& name);
    // 1 / interval + 0.5, truncated; 0 for an animation that stands still or is unknown.
    int GetFps(const Tarv::NarrowString& name);
    // A rate of 0 or less makes the animation stand still. Applies to the process at once
    // when the animation is playing; the frame stays.
    void SetFps(const Tarv::NarrowString& name, int fps);
    // The next (previous) animation in file order, wrapping around, with its own loop flag.
    void NextAnimation();
    void PreviousAnimation();
    // One frame on; past the last, the first again (looping) or the last stays, and either
    // way the process reports an end.
    void NextFrame();
    // One frame back; false at the first frame (looping: the last becomes current).
    bool PreviousFrame();
    // Re-reads the frame rates from the file.
    void ReloadFps();

    int GetFrameIndex() const { return m_frameIndex; }
    bool IsLooping() const { return m_loop; }
    const std::vector<Tarv::NarrowString>& GetNames() const { return m_names; }

    // The current frame's image (not counted), its place on the canvas (mirrored with mirror
    // mode 2), and the playing animation's canvas size.
    Tarv::Surface* GetSurface() const override;
    SpriteOffset GetOffset() const override;
    int GetWidth() const override;
    int GetHeight() const override;

    // Restarts the timers and keeps the sprite in its manager.
    bool CanRemove() override;

protected:
    void Update() override { NextFrame(); }

private:
    void Load(const Tarv::NarrowString& options);
    const Frame* GetCurrentFrame() const;

    Tarv::NarrowString m_path;
    int m_frameIndex = 0;
    bool m_loop = true;
    std::map<Tarv::NarrowString, Animation> m_animations;
    Animation* m_current = nullptr;
    std::vector<Tarv::NarrowString> m_names;
};

} // namespace Vund

// Tarv::AnimatedSurface: a surface that shows one frame image at a time, stepped by elapsed
// time or by its own Lua script. Drawing it draws the current frame at the frame's offset.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/SmartPtr.h"
#include "graphics/image/AnimationTimer.h"
#include "graphics/render/Surface.h"

#include <cstdint>
#include <vector>

struct lua_State;

namespace Tarv
{

class Lua;

class AnimatedSurface : public Surface
{
public:
    struct Frame
    {
        SmartPtr<Surface> image;
        float seconds = 0.0f;
        int x = 0;
        int y = 0;
    };

    // Frames without an image are left out. With a script path (null or empty for none) the
    // animation gets a Lua state of its own with the globals "this", "FrameNum", "SetFrame",
    // "NumFrames", "FrameTime" and "SetAlpha", and the script file runs at once (on the calling
    // thread); from then on the script's global "Update" drives the animation.
    AnimatedSurface(const std::vector<Frame>& frames, bool loop, const char* scriptPath);
    ~AnimatedSurface() override;

    // Those of the current frame's image (a surface without frames: 0).
    int GetWidth() const override;
    int GetHeight() const override;
    std::uint32_t GetFlags(std::uint32_t mask) const override;
    int GetSourceX() const override;
    int GetSourceY() const override;
    // The current frame's offset.
    int GetDrawOffsetX() const override;
    int GetDrawOffsetY() const override;

    // Without a script: counts dt off the current frame and steps at most one frame; false
    // once a non-looping animation has run past its last frame (it stays there). With a
    // script: true exactly when the script's Update(dt) returns the number 1; a failing
    // call is reported once (to the script error queue) and gives false; later updates call
    // the script again. Main thread.
    bool Update(const float& dt) override;

    // Shows frame index for its full time; false (nothing changes) when there is none.
    bool ShowFrame(std::uint32_t index);
    std::uint32_t GetFrameIndex() const { return m_timer.GetFrame(); }
    std::uint32_t GetFrameCount() const { return std::uint32_t(m_frames.size()); }
    float GetTimeLeft() const { return m_timer.GetTimeLeft(); }
    const Frame* GetFrame(std::uint32_t index) const;
    bool HasScript() const { return m_script.Get() != nullptr; }
    Lua* GetScript() const { return m_script.Get(); }

    // The script functions, each with its arguments from stack index 1; the number of results
    // pushed. Bound as the globals above.
    int ScriptFrameNum(lua_State* state);
    int ScriptSetFrame(lua_State* state);
    int ScriptNumFrames(lua_State* state);
    int ScriptFrameTime(lua_State* state);
    int ScriptSetAlpha(lua_State* state);

    // A script number as a frame index: truncated, negative and NaN give 0, and anything at
    // or beyond 2^32 gives 0xffffffff (never a frame).
    static std::uint32_t ToFrameIndex(double value);
    // A script number as an alpha byte: truncated toward zero, then its low 8 bits (300 -> 44,
    // -1 -> 255); NaN and infinities give 0.
    static std::uint8_t ToAlphaByte(double value);

private:
    void StartScript(const NarrowString& path);
    const Frame* CurrentFrame() const;

    std::vector<Frame> m_frames;
    AnimationTimer m_timer;
    SmartPtr<Lua> m_script;
    NarrowString m_scriptPath;
    bool m_scriptErrorReported = false;
};

} // namespace Tarv

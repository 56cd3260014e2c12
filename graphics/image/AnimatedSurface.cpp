// Frame stepping of animated surfaces and their script interface: the globals of the
// animation's private Lua state, which find their animation through the global "this".
#include "graphics/image/AnimatedSurface.h"

#include "engine/script/Lua.h"
#include "engine/script/LuaErrorQueue.h"

#include <lua.hpp>

#include <cmath>
#include <utility>

namespace Tarv
{

namespace
{

std::vector<AnimatedSurface::Frame> WithImages(const std::vector<AnimatedSurface::Frame>& frames)
{
    std::vector<AnimatedSurface::Frame> kept;
    for (const AnimatedSurface::Frame& frame : frames)
        if (frame.image)
            kept.push_back(frame);
    return kept;
}

std::vector<float> FrameSeconds(const std::vector<AnimatedSurface::Frame>& frames)
{
    std::vector<float> seconds;
    for (const AnimatedSurface::Frame& frame : frames)
        seconds.push_back(frame.seconds);
    return seconds;
}

// The globals find their animation through the global "this". The state dies with the
// animation, so the address stays valid; the only light userdata a bare state can hold is that
// one, so a script that overwrote "this" gets a script error instead of a stray pointer.
template <int (AnimatedSurface::*METHOD)(lua_State*)>
int GlobalThunk(lua_State* state)
{
    lua_pushliteral(state, "this");
    lua_rawget(state, LUA_GLOBALSINDEX);
    void* animation = lua_type(state, -1) == LUA_TLIGHTUSERDATA ? lua_touserdata(state, -1) : nullptr;
    lua_pop(state, 1);
    if (animation == nullptr)
        return luaL_error(state, "the global \"this\" no longer holds the animation");
    return (static_cast<AnimatedSurface*>(animation)->*METHOD)(state);
}

} // namespace

AnimatedSurface::AnimatedSurface(const std::vector<Frame>& frames, bool loop,
                                 const char* scriptPath)
    : m_frames(WithImages(frames)), m_timer(FrameSeconds(m_frames), loop)
{
    ShowFrame(0);
    if (scriptPath != nullptr && scriptPath[0] != '\0')
        StartScript(scriptPath);
}

AnimatedSurface::~AnimatedSurface()
{
    // The script goes first: its state still points at this animation.
    m_script.Reset();
}

void AnimatedSurface::StartScript(const NarrowString& path)
{
    m_scriptPath = path;
    m_script = MakeSmart<Lua>();
    if (m_script->GetState() == nullptr)
        return;
    m_script->SetGlobalPointer("this", this);
    m_script->RegisterFunction("FrameNum", &GlobalThunk<&AnimatedSurface::ScriptFrameNum>);
    m_script->RegisterFunction("SetFrame", &GlobalThunk<&AnimatedSurface::ScriptSetFrame>);
    m_script->RegisterFunction("NumFrames", &GlobalThunk<&AnimatedSurface::ScriptNumFrames>);
    m_script->RegisterFunction("FrameTime", &GlobalThunk<&AnimatedSurface::ScriptFrameTime>);
    m_script->RegisterFunction("SetAlpha", &GlobalThunk<&AnimatedSurface::ScriptSetAlpha>);
    m_script->RunFile(path);
}

const AnimatedSurface::Frame* AnimatedSurface::GetFrame(std::uint32_t index) const
{
    return index < m_frames.size() ? &m_frames[index] : nullptr;
}

const AnimatedSurface::Frame* AnimatedSurface::CurrentFrame() const
{
    return GetFrame(m_timer.GetFrame());
}

bool AnimatedSurface::ShowFrame(std::uint32_t index)
{
    const Frame* frame = GetFrame(index);
    if (frame == nullptr)
        return false;
    m_timer.SetFrame(index);
    SetPixelData(frame->image->GetPixelData());
    SetRect(0, 0, frame->image->GetWidth(), frame->image->GetHeight());
    return true;
}

int AnimatedSurface::GetWidth() const
{
    const Frame* frame = CurrentFrame();
    return frame != nullptr ? frame->image->GetWidth() : 0;
}

int AnimatedSurface::GetHeight() const
{
    const Frame* frame = CurrentFrame();
    return frame != nullptr ? frame->image->GetHeight() : 0;
}

std::uint32_t AnimatedSurface::GetFlags(std::uint32_t mask) const
{
    const Frame* frame = CurrentFrame();
    return frame != nullptr ? frame->image->GetFlags(mask) : 0;
}

int AnimatedSurface::GetSourceX() const
{
    const Frame* frame = CurrentFrame();
    return frame != nullptr ? frame->image->GetSourceX() : 0;
}

int AnimatedSurface::GetSourceY() const
{
    const Frame* frame = CurrentFrame();
    return frame != nullptr ? frame->image->GetSourceY() : 0;
}

int AnimatedSurface::GetDrawOffsetX() const
{
    const Frame* frame = CurrentFrame();
    return frame != nullptr ? frame->x : 0;
}

int AnimatedSurface::GetDrawOffsetY() const
{
    const Frame* frame = CurrentFrame();
    return frame != nullptr ? frame->y : 0;
}

bool AnimatedSurface::Update(const float& dt)
{
    if (!m_script) {
        const std::uint32_t before = m_timer.GetFrame();
        const bool running = m_timer.Update(dt);
        if (m_timer.GetFrame() != before)
            ShowFrame(m_timer.GetFrame());
        return running;
    }
    lua_State* state = m_script->GetState();
    if (state == nullptr)
        return false;
    // The result, or the error text of a failed call, is taken off the stack again, so a
    // failing script cannot grow it frame after frame.
    const int top = lua_gettop(state);
    if (!m_script->PushNumber(dt))
        return false;
    const char* error = m_script->Call("Update", 1, 1);
    if (error != nullptr) {
        // The script is called again at the next update; a script that fails every frame is
        // reported only the first time.
        if (!m_scriptErrorReported)
            LuaErrorQueue::Global().Post(
                LuaErrorReport{NarrowString("Animation script ") + m_scriptPath, NarrowString(error)});
        m_scriptErrorReported = true;
        lua_settop(state, top);
        return false;
    }
    const bool goOn = lua_type(state, -1) == LUA_TNUMBER && lua_tonumber(state, -1) == 1.0;
    lua_settop(state, top);
    return goOn;
}

std::uint32_t AnimatedSurface::ToFrameIndex(double value)
{
    if (!(value > 0.0))
        return 0;
    const double whole = std::trunc(value);
    if (whole >= 4294967296.0)
        return 0xffffffffu;
    return std::uint32_t(whole);
}

std::uint8_t AnimatedSurface::ToAlphaByte(double value)
{
    if (!std::isfinite(value))
        return 0;
    double low = std::fmod(std::trunc(value), 256.0);
    if (low < 0.0)
        low += 256.0;
    return std::uint8_t(low);
}

int AnimatedSurface::ScriptFrameNum(lua_State* state)
{
    lua_pushnumber(state, lua_Number(m_timer.GetFrame()));
    return 1;
}

int AnimatedSurface::ScriptSetFrame(lua_State* state)
{
    // An index past the last frame changes nothing.
    ShowFrame(ToFrameIndex(luaL_checknumber(state, 1)));
    return 0;
}

int AnimatedSurface::ScriptNumFrames(lua_State* state)
{
    lua_pushnumber(state, lua_Number(m_frames.size()));
    return 1;
}

int AnimatedSurface::ScriptFrameTime(lua_State* state)
{
    // 0 for an index that names no frame.
    const std::uint32_t index = ToFrameIndex(luaL_checknumber(state, 1));
    lua_pushnumber(state, lua_Number(m_timer.GetFrameTimeFixed(index)));
    return 1;
}

int AnimatedSurface::ScriptSetAlpha(lua_State* state)
{
    SetAlpha(ToAlphaByte(luaL_checknumber(state, 1)));
    return 0;
}

} // namespace Tarv

// Runs arbitrary text as a screen's script, then drives the screen through every entry point of
// its protocol. Scripts are bounded in instructions and memory, so only faults of the screen,
// its script classes and the host count as findings.
#include "engine/script/LuaErrorQueue.h"
#include "engine/vfs/Vfs.h"
#include "graphics/render/Surface.h"
#include "gui/Messages.h"
#include "gui/Screen.h"

#include <lua.hpp>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{

constexpr std::size_t MEMORY_LIMIT = 32u << 20;
constexpr int INSTRUCTION_LIMIT = 200000;

// Signed: blocks the state allocated before the limit was installed are freed through it.
long long s_used = 0;
int s_instructions = 0;

void* LimitedAlloc(void*, void* block, std::size_t oldSize, std::size_t newSize)
{
    const long long before = block != nullptr ? static_cast<long long>(oldSize) : 0;
    if (newSize == 0) {
        s_used -= before;
        std::free(block);
        return nullptr;
    }
    const long long after = static_cast<long long>(newSize);
    if (after > before && s_used + (after - before) > static_cast<long long>(MEMORY_LIMIT))
        return nullptr;
    void* grown = std::realloc(block, newSize);
    if (grown != nullptr)
        s_used += after - before;
    return grown;
}

void CountInstructions(lua_State* state, lua_Debug*)
{
    s_instructions += 1000;
    if (s_instructions > INSTRUCTION_LIMIT)
        luaL_error(state, "instruction limit");
}

const char* const LAYOUT =
    "<screen><layer><item type=\"Control\" name=\"root\"><touchable>true</touchable>"
    "<representation type=\"default\" file=\"r.xml\"/><children>"
    "<item type=\"Control\" name=\"b\"><relative/><x>5</x><alpha>100</alpha><visibility>true</visibility>"
    "<touchable>true</touchable><representation type=\"default\" file=\"r.xml\"/></item>"
    "</children></item></layer></screen>";
const char* const REPRESENTATION =
    "<r><item type=\"Rectangle\" name=\"frame\"><width>50</width><height>20</height><children>"
    "<item type=\"TransformedSprite\" name=\"t\"><angle>1</angle></item></children></item></r>";

void Write(const std::string& path, const char* text)
{
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fputs(text, file);
        std::fclose(file);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool ready = [] {
        char name[] = "/tmp/brashwick-scriptfuzz-XXXXXX";
        const std::string folder = std::string(mkdtemp(name) != nullptr ? name : "/tmp") + "/";
        Write(folder + "screen.xml", LAYOUT);
        Write(folder + "r.xml", REPRESENTATION);
        Tarv::VfsInit();
        Tarv::VfsMountNative(folder, "", 0);
        Plim::SetMessageHook([](const Tarv::NarrowString&) {});
        Tarv::LuaErrorQueue::Global().SetHandler([](const Tarv::LuaErrorReport&) {});
        return true;
    }();
    (void)ready;
    Tarv::SmartPtr<Plim::Screen> screen(new Plim::Screen("screen.xml"));
    lua_State* state = screen->GetLua().GetState();
    if (state == nullptr)
        return 0;
    lua_setallocf(state, &LimitedAlloc, nullptr);
    lua_sethook(state, &CountInstructions, LUA_MASKCOUNT, 1000);
    s_instructions = 0;
    screen->GetLua().RunString(Tarv::NarrowString(reinterpret_cast<const char*>(data), size));
    lua_settop(state, 0);
    s_instructions = 0;
    screen->Initialize();
    screen->Update(0.016f);
    screen->UpdateTexts();
    screen->OnKeyDown(35);
    screen->OnKeyUp(-1);
    screen->OnTouchDown(7, 3);
    screen->OnTouchUp(7, 3);
    screen->PushNumberArg(12);
    screen->PushStringArg("x");
    screen->PushBoolArg(true);
    screen->CallScript("Call");
    Tarv::Surface nowhere(nullptr);
    screen->Draw(&nowhere);
    return 0;
}

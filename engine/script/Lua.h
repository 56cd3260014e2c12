// Tarv::Lua: one Lua 5.1 interpreter state with the engine's script environment ("keys",
// "require", "TarvMsg"), or a borrowing wrapper made inside a native function over its state.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct lua_State;
typedef int (*lua_CFunction)(lua_State* state);

namespace Tarv
{

class Lua : public RefCounter
{
public:
    // Standard libraries, one bit each, as OpenLibrary takes them.
    enum Library : std::uint32_t
    {
        LIBRARY_BASE = 1,
        LIBRARY_TABLE = 2,
        LIBRARY_STRING = 4,
        LIBRARY_DEBUG = 8,
        LIBRARY_MATH = 16,
    };

    // Nested "require" calls deeper than this stop with a script error.
    static constexpr int MAX_REQUIRE_DEPTH = 32;

    // Owning: a new state with "keys", "require" and "TarvMsg" and no library open. GetState
    // is null when the interpreter could not allocate one; every operation then does nothing.
    Lua();
    // Borrowing: wraps a state owned elsewhere (inside a native function); never closes it.
    explicit Lua(lua_State* state);
    ~Lua() override;

    Lua(const Lua&) = delete;
    Lua& operator=(const Lua&) = delete;

    lua_State* GetState() const { return m_state; }
    bool IsBorrowed() const { return m_borrowed; }

    // Opens one standard library by its flag, once per object; other values do nothing.
    void OpenLibrary(std::uint32_t flag);

    // Runs a script file read through the virtual file system, path + "c" first. Failures go
    // to LuaErrorQueue::Global() as "Fatal error reading file " + path and the interpreter's
    // message; nothing is returned. Only text chunks run: precompiled chunks are refused.
    // Like RunString, it leaves the chunk's results, or the error text of a failed load or run,
    // on the stack; a file that cannot be read leaves nothing.
    void RunFile(const NarrowString& path);

    // Compiles text (up to its first zero byte, named by itself) and runs it; returns the Lua
    // status (0 on success). On success all the chunk's results are left on the stack, on
    // failure the error value; the caller pops what it does not want.
    int RunString(const NarrowString& text);

    // Calls the global function name with the nargs arguments the caller pushed. Returns null
    // on success, with the nresults results on the stack in place of the arguments. On failure
    // (a missing function included) the arguments are gone and one error text is on top in
    // their place; the returned pointer is that text, valid while it stays on the stack. The
    // caller pops it. Only without a state, or when the stack cannot grow by one slot, is
    // nothing left there (the text returned is then static).
    const char* Call(const NarrowString& name, int nargs, int nresults);

    // Globals. These never raise a script error: they bypass metamethods of the global table.
    // Pops the top value into the global name (does nothing on an empty stack).
    void SetGlobal(const NarrowString& name);
    void RegisterFunction(const NarrowString& name, lua_CFunction function);
    void SetGlobalPointer(const NarrowString& name, void* pointer);
    // Pushes the global name (it stays on the stack) and returns it as a userdata pointer,
    // or null when it is not one.
    void* GetGlobalPointer(const NarrowString& name);

    bool IsBool(int index) const;
    bool IsNumber(int index) const;
    bool IsString(int index) const;
    bool CheckBool(int index) const;
    // Check* raise a script argument error for a wrong type: call them only from native
    // functions that scripts call (inside a protected call).
    double CheckNumber(int index) const;
    NarrowString CheckString(int index) const;

    // Each pushes one value; false (and nothing pushed) when the stack cannot grow.
    bool PushNil();
    bool PushBool(bool value);
    bool PushNumber(double value);
    bool PushString(const NarrowString& value);

    int GetMemoryKB() const;
    void DumpStack() const;

    // Enum tables built as Lua source: name={A=1,B=2,} and run under the chunk name "enum table".
    static void BeginEnumTable(NarrowString& source, const NarrowString& name);
    static void AddEnumEntry(NarrowString& source, const NarrowString& name, int value);
    void RunEnumTable(NarrowString& source);
    // The global table "keys" with every named key code.
    void RegisterEnums();

    // Counts every script function call until this object dies, then passes one line per
    // function to "TarvMsg". Opens the debug library. Nothing in the engine starts it.
    void StartProfiler();

    // The globals "require" and "TarvMsg".
    static int Require(lua_State* state);
    static int TarvMsg(lua_State* state);

    // Loads one chunk from memory without running it, as luaL_loadbuffer does: the compiled
    // function, or the error text, is pushed, and the Lua status returned. Precompiled chunks
    // are refused with LUA_ERRSYNTAX.
    static int LoadChunk(lua_State* state, const char* data, std::size_t size, const char* name);

    // Reads a whole file for RunFile (by default through the virtual file system); tools and
    // tests may read scripts from elsewhere. Returns false when the file cannot be opened or
    // is too large. Null restores the default. Set it before scripts run on other threads.
    using FileReader = bool (*)(const NarrowString& path, std::vector<char>& contents);
    static void SetFileReader(FileReader reader);

private:
    void InstallEnvironment();
    // Loads and runs one chunk with all results kept; the Lua status, with the error value
    // on top on failure.
    int RunChunk(const char* data, std::size_t size, const char* name);
    // Runs a chunk of the engine's own whose results and errors nobody wants.
    void RunQuietly(const char* text);
    void ReportFileError(const NarrowString& path, const NarrowString& message);
    void RunProfileReport();

    lua_State* m_state = nullptr;
    bool m_borrowed = false;
    bool m_profiling = false;
    std::uint32_t m_libraries = 0;
};

} // namespace Tarv

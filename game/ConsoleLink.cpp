// The game log forwarded to the developer console and the console's level check command.
#include "game/ConsoleLink.h"

#include "console/DebugOverlay.h"
#include "engine/vfs/File.h"
#include "engine/vfs/Vfs.h"
#include "framework/Settings.h"
#include "game/Game.h"
#include "game/Level.h"
#include "game/LevelCheck.h"

#include <cstdio>

namespace Pirrock
{

namespace
{

// Prints straight into the console on the main thread, so the check's lines show at once.
class ConsoleLines : public MessageSink
{
public:
    void Print(const Tarv::NarrowString& line) override
    {
        if (Tarv::DebugOverlay::Instance)
            Tarv::DebugOverlay::Instance->Print(line);
    }
};

// Levels in a row from level 1 whose file opens; a bound keeps a damaged archive from running on.
int CountLevelFiles()
{
    constexpr int MAX_LEVELS = 999;
    int count = 0;
    while (count < MAX_LEVELS && Tarv::SmartPtr<Tarv::File>(Tarv::VfsOpenRead(Level::GetLevelPath(count + 1).c_str())))
        ++count;
    return count;
}

void RunValidate(void*, const Tarv::NarrowString&)
{
    ConsoleLink::ValidateLevels();
}

} // namespace

ConsoleLink::ConsoleLink()
{
    SetGameLog(this);
    if (Tarv::DebugOverlay::Instance) {
        Tarv::DebugOverlay::Instance->RegisterCommand(VALIDATE_COMMAND, &RunValidate, nullptr,
                                                     "check the layout of every shipped level");
        m_registered = true;
    }
}

ConsoleLink::~ConsoleLink()
{
    SetGameLog(nullptr);
    if (m_registered && Tarv::DebugOverlay::Instance)
        Tarv::DebugOverlay::Instance->UnregisterCommand(VALIDATE_COMMAND);
}

void ConsoleLink::Print(const Tarv::NarrowString& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
    Tarv::DebugOverlay::Post(line);
}

void ConsoleLink::ValidateLevels()
{
    Quor::Settings* settings = Quor::Settings::GetInstance();
    int count = settings != nullptr ? settings->GetInt(Game::LEVELS_COUNT_KEY) : 0;
    if (count < 1)
        count = CountLevelFiles();
    ConsoleLines lines;
    if (count < 1) {
        lines.Print("no levels to check");
        return;
    }
    ValidateLevelFiles(count, lines);
}

} // namespace Pirrock

// Pirrock::ConsoleLink: the game's side of the developer console. While a link exists, the game
// log's lines go to the console (standard error keeps a copy) and the "validatelevels" command
// checks every shipped level, printing the check's lines in the console.
#pragma once

#include "game/GameLog.h"

namespace Pirrock
{

class ConsoleLink : public MessageSink
{
public:
    static constexpr const char* VALIDATE_COMMAND = "validatelevels";

    // Installs itself as the game log and registers the command in the console that exists now
    // (without one, only the log is forwarded, to standard error). Main thread.
    ConsoleLink();
    // Sets the game log back to standard error and removes the command. Main thread, with no
    // loader thread still printing.
    ~ConsoleLink() override;
    ConsoleLink(const ConsoleLink&) = delete;
    ConsoleLink& operator=(const ConsoleLink&) = delete;

    // Any thread: posts the line to the console and copies it to standard error.
    void Print(const Tarv::NarrowString& line) override;

    // Validates levels 1 to "constants/levels_count", or, without that setting, every level file
    // found from "levels/01.xml" on; the lines go to the console. Main thread.
    static void ValidateLevels();

private:
    bool m_registered = false;
};

} // namespace Pirrock

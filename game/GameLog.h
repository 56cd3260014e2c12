// Pirrock::MessageSink and the game log: where the game's diagnostic lines go (a level that does
// not load, a skipped item, level-data faults). While no sink is installed (tests install one),
// lines are engine reports: standard error, and the developer console where the program has one.
#pragma once

#include "engine/core/NarrowString.h"

#include <mutex>
#include <vector>

namespace Pirrock
{

class MessageSink
{
public:
    virtual ~MessageSink() = default;
    // One line, without its line break.
    virtual void Print(const Tarv::NarrowString& line) = 0;
};

// Keeps the lines it is given; safe from several threads.
class MessageList : public MessageSink
{
public:
    void Print(const Tarv::NarrowString& line) override;
    std::vector<Tarv::NarrowString> GetLines() const;

private:
    mutable std::mutex m_mutex;
    std::vector<Tarv::NarrowString> m_lines;
};

// Installs the game log's sink (null: engine reports again). The sink is borrowed and must stay
// until it is replaced; it is called from the loader thread as well as the main thread.
void SetGameLog(MessageSink* sink);
// The game log as a sink: what it is given goes to the installed sink, or is reported.
MessageSink& GameLog();
void GameLogPrint(const Tarv::NarrowString& line);

} // namespace Pirrock

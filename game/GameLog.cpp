// The game log's sink slot and the collecting sink.
#include "game/GameLog.h"

#include "engine/core/Report.h"

#include <atomic>

namespace Pirrock
{

namespace
{

std::atomic<MessageSink*> s_sink{nullptr};

class GameLogSink : public MessageSink
{
public:
    void Print(const Tarv::NarrowString& line) override { GameLogPrint(line); }
};

} // namespace

void MessageList::Print(const Tarv::NarrowString& line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.push_back(line);
}

std::vector<Tarv::NarrowString> MessageList::GetLines() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines;
}

void SetGameLog(MessageSink* sink)
{
    s_sink.store(sink);
}

MessageSink& GameLog()
{
    static GameLogSink s_log;
    return s_log;
}

void GameLogPrint(const Tarv::NarrowString& line)
{
    if (MessageSink* sink = s_sink.load())
        sink->Print(line);
    else
        Tarv::Report("%s", line.c_str());
}

} // namespace Pirrock

// Tarv::RichString: the typesetter's input, a wide text cut into runs that each carry their own
// copy of a text format. Plain data: no character has a meaning here.
#pragma once

#include "engine/core/RefCounter.h"
#include "engine/core/WideString.h"
#include "graphics/text/Format.h"

#include <list>

namespace Tarv
{

class RichString : public RefCounter
{
public:
    struct Run
    {
        Run(const WideString& runText, const Text::Format& runFormat)
            : text(runText), format(runFormat)
        {
        }
        WideString text;
        // A copy (no links) that the caller's later changes do not reach.
        Text::Format format;
    };

    RichString() = default;
    RichString(const WideString& text, const Text::Format& format);
    ~RichString() override = default;

    // Adds a run at the end; an empty text still makes a run.
    void Append(const WideString& text, const Text::Format& format);
    const std::list<Run>& GetRuns() const { return m_runs; }

private:
    std::list<Run> m_runs;
};

} // namespace Tarv

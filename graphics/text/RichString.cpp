// Rich strings: runs of text with their own format copies, in reading order.
#include "graphics/text/RichString.h"

namespace Tarv
{

RichString::RichString(const WideString& text, const Text::Format& format)
{
    Append(text, format);
}

void RichString::Append(const WideString& text, const Text::Format& format)
{
    m_runs.emplace_back(text, format);
}

} // namespace Tarv

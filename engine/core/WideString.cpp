// Tarv::WideString: strict UTF-8 decoding of narrow text, independent of the C locale (the
// locale the application asks for is missing on most machines).
#include "engine/core/WideString.h"

#include "engine/core/NarrowString.h"
#include "engine/core/Utf8.h"

namespace Tarv
{

WideString::WideString(const NarrowString& text)
{
    // An invalid sequence leaves this text empty, which is what callers expect of a failure.
    DecodeUtf8(text.data(), text.size(), *this);
}

} // namespace Tarv

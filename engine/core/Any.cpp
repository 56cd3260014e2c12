// Out-of-line parts of Tarv::Any.
#include "engine/core/Any.h"

#include "engine/core/NarrowString.h"

namespace Tarv
{

Any::Any(const char* text) : m_content(new Holder<NarrowString>(NarrowString(text != nullptr ? text : ""))) {}

} // namespace Tarv

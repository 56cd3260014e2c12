// Path helpers over "/"-separated virtual paths.
#include "engine/core/Path.h"

namespace Tarv
{

namespace
{

std::size_t LastComponentStart(const NarrowString& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == NarrowString::npos ? 0 : slash + 1;
}

} // namespace

NarrowString GetPathComponent(const NarrowString& path, int n)
{
    if (n < 0 || path.empty())
        return NarrowString();
    std::size_t end = path.size();
    for (int i = 0; i < n; ++i) {
        if (end == 0)
            return NarrowString();
        const std::size_t slash = path.rfind('/', end - 1);
        if (slash == NarrowString::npos)
            return NarrowString();
        end = slash;
    }
    const std::size_t slash = end == 0 ? NarrowString::npos : path.rfind('/', end - 1);
    const std::size_t start = slash == NarrowString::npos ? 0 : slash + 1;
    return path.substr(start, end - start);
}

NarrowString GetExtension(const NarrowString& path, bool withDot)
{
    const std::size_t dot = path.rfind('.');
    if (withDot)
        return dot == NarrowString::npos ? NarrowString() : NarrowString(path.substr(dot, 4));
    // Without a dot the first three characters stand in, as they always have.
    const std::size_t start = dot == NarrowString::npos ? 0 : dot + 1;
    return path.substr(start, 3);
}

NarrowString GetBaseName(const NarrowString& path)
{
    const std::size_t start = LastComponentStart(path);
    const std::size_t dot = path.rfind('.');
    const std::size_t end = dot == NarrowString::npos || dot < start ? path.size() : dot;
    return path.substr(start, end - start);
}

} // namespace Tarv

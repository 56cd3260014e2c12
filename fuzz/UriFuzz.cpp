// Parses arbitrary text as a URI and builds every string form from the result.
#include "engine/core/Uri.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Tarv::NarrowString text(std::string(reinterpret_cast<const char*>(data), size));
    Tarv::Uri uri(text);
    const Tarv::NarrowString authority = uri.GetAuthority();
    const Tarv::NarrowString shortForm = uri.ToString();
    const Tarv::NarrowString fullForm = uri.ToFullString();

    // The parts are pieces of the decoded text, which is never longer than the input.
    const std::size_t partsSize = uri.scheme.size() + uri.userInfo.size() + uri.host.size()
        + uri.port.size() + uri.path.size() + uri.query.size() + uri.fragment.size();
    if (partsSize > size)
        std::abort();
    if (uri.host.empty() != authority.empty())
        std::abort();
    // Encoding never leaves a byte outside the printable ASCII range.
    for (char c : fullForm.substr(uri.scheme.size() + 1)) {
        if ((c < 0x21 || c > 0x7e) && uri.path.find(c) == Tarv::NarrowString::npos)
            std::abort();
    }

    if (shortForm.compare(0, uri.path.size(), uri.path) != 0)
        std::abort();

    uri.AddQueryParameter(text, text);
    return 0;
}

// Decodes arbitrary bytes as UTF-8; whatever decodes must encode back to the same bytes.
#include "engine/core/NarrowString.h"
#include "engine/core/Utf8.h"
#include "engine/core/WideString.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    std::u32string decoded;
    if (!Tarv::DecodeUtf8(bytes, size, decoded))
        return 0;

    // Noncharacters U+FFFE and U+FFFF decode but the encoder refuses them.
    bool encodable = true;
    for (char32_t c : decoded)
        encodable = encodable && c != 0xFFFE && c != 0xFFFF;

    std::vector<char> encoded(decoded.size() * 4 + 1);
    const int written = Tarv::EncodeUtf8(encoded.data(), encoded.size(), decoded.data(), decoded.size());
    if (!encodable) {
        if (written != -1)
            std::abort();
        return 0;
    }
    const std::size_t textLength = strnlen(bytes, size);
    if (written < 0 || static_cast<std::size_t>(written) != textLength
        || std::memcmp(encoded.data(), bytes, textLength) != 0)
        std::abort();

    // The string classes must agree with the functions they are built on.
    const Tarv::NarrowString narrow(std::string(bytes, size));
    const Tarv::WideString wide(narrow);
    if (wide != decoded || Tarv::NarrowString(wide) != std::string(bytes, textLength))
        std::abort();
    return 0;
}

// Tarv::Uri: percent-decoding parser, authority and string forms, percent-encoder.
#include "engine/core/Uri.h"

#include <cstring>

namespace Tarv
{

namespace
{

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

NarrowString PercentDecode(const NarrowString& text)
{
    NarrowString decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0
            && HexValue(text[i + 2]) >= 0) {
            decoded.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
            i += 2;
        } else {
            decoded.push_back(text[i]);
        }
    }
    return decoded;
}

bool IsUnreserved(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-'
        || c == '_' || c == '.' || c == '~';
}

bool IsKept(char c, const char* keep)
{
    for (const char* k = keep; k != nullptr && *k != '\0'; ++k) {
        if (*k == c)
            return true;
    }
    return false;
}

} // namespace

Uri::Uri(const NarrowString& text)
{
    Parse(text);
}

bool Uri::Parse(const NarrowString& text)
{
    Clear();
    const NarrowString decoded = PercentDecode(text);

    const std::size_t colon = decoded.find(':');
    if (colon == NarrowString::npos)
        return false;
    scheme = decoded.substr(0, colon);
    // The rest is [restStart, restEnd) of the decoded text.
    const std::size_t restStart = colon + 1;
    std::size_t restEnd = decoded.size();

    const std::size_t hash = decoded.find('#', restStart);
    if (hash != NarrowString::npos) {
        fragment = decoded.substr(hash + 1);
        restEnd = hash;
    }
    const std::size_t question = decoded.find('?', restStart);
    if (question != NarrowString::npos && question < restEnd) {
        query = decoded.substr(question + 1, restEnd - question - 1);
        restEnd = question;
    }

    const std::size_t slashes = decoded.find("//", restStart);
    if (slashes == NarrowString::npos || slashes + 1 >= restEnd) {
        path = decoded.substr(restStart, restEnd - restStart);
        return true;
    }
    if (slashes != restStart) {
        Clear();
        return false;
    }

    std::size_t hostStart = slashes + 2;
    const std::size_t at = decoded.find('@', hostStart);
    if (at != NarrowString::npos && at < restEnd) {
        userInfo = decoded.substr(hostStart, at - hostStart);
        hostStart = at + 1;
    }
    std::size_t hostEnd = restEnd;
    const std::size_t slash = decoded.find('/', hostStart);
    if (slash != NarrowString::npos && slash < restEnd) {
        // A "/" that ends the whole text leaves the path empty.
        if (slash + 1 < decoded.size())
            path = decoded.substr(slash, restEnd - slash);
        hostEnd = slash;
    }
    const std::size_t portColon = decoded.find(':', hostStart);
    if (portColon != NarrowString::npos && portColon < hostEnd) {
        port = decoded.substr(portColon + 1, hostEnd - portColon - 1);
        hostEnd = portColon;
    }
    host = decoded.substr(hostStart, hostEnd - hostStart);
    return true;
}

void Uri::Clear()
{
    scheme.clear();
    userInfo.clear();
    host.clear();
    port.clear();
    path.clear();
    query.clear();
    fragment.clear();
}

NarrowString Uri::GetAuthority() const
{
    if (host.empty())
        return NarrowString();
    NarrowString authority;
    if (!userInfo.empty())
        authority += userInfo + "@";
    authority += host;
    if (!port.empty())
        authority += ":" + port;
    return authority;
}

NarrowString Uri::Encode(const NarrowString& text, const char* keep)
{
    static const char HEX_DIGITS[] = "0123456789abcdef";
    NarrowString encoded;
    encoded.reserve(text.size());
    for (char c : text) {
        if (c == '\0')
            break;
        if (IsUnreserved(c) || IsKept(c, keep)) {
            encoded.push_back(c);
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        encoded.push_back('%');
        encoded.push_back(HEX_DIGITS[byte >> 4]);
        encoded.push_back(HEX_DIGITS[byte & 0x0F]);
    }
    return encoded;
}

NarrowString Uri::ToString() const
{
    NarrowString text = path;
    if (!query.empty())
        text += "?" + Encode(query, "=&%/:");
    if (!fragment.empty())
        text += "#" + Encode(fragment, "");
    return text;
}

NarrowString Uri::ToFullString() const
{
    NarrowString text = scheme + ":";
    const NarrowString authority = GetAuthority();
    if (!authority.empty())
        text += "//" + Encode(authority, ":@");
    text += path;
    if (!query.empty())
        text += "?" + Encode(query, "=&%");
    if (!fragment.empty())
        text += "#" + Encode(fragment, "");
    return text;
}

void Uri::AddQueryParameter(const NarrowString& name, const NarrowString& value)
{
    if (!query.empty())
        query += "&";
    query += Encode(name, "") + "=" + Encode(value, "");
}

} // namespace Tarv

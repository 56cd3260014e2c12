// Writing registry nodes as registry file text.
#include "engine/registry/RegistryXmlWriter.h"

#include "engine/core/Any.h"
#include "engine/registry/RegistryKey.h"
#include "engine/registry/RegistryNode.h"

namespace Tarv
{

namespace
{

// Escapes one byte, or returns false when it may stand as it is.
bool AppendEscaped(NarrowString& out, char c, bool attribute)
{
    switch (c) {
    case '&':
        out += "&amp;";
        return true;
    case '<':
        out += "&lt;";
        return true;
    case '>':
        out += "&gt;";
        return true;
    case '"':
        if (!attribute)
            return false;
        out += "&quot;";
        return true;
    case '\t':
    case '\n':
        if (!attribute)
            return false;
        break;
    // A reader turns a raw CR into a line feed.
    case '\r':
    case 0x7F:
        break;
    default:
        return false;
    }
    out += "&#";
    out.AppendInt(static_cast<unsigned char>(c));
    out += ";";
    return true;
}

void AppendEscapedText(NarrowString& out, const NarrowString& text, bool attribute)
{
    for (char c : text) {
        if (!AppendEscaped(out, c, attribute))
            out += c;
    }
}

void AppendKey(NarrowString& out, const NarrowString& name, const RegistryKey& key, int depth)
{
    const Any value = key.GetValue();
    NarrowString type;
    NarrowString text;
    if (const bool* b = value.Get<bool>()) {
        type = "bool";
        text = *b ? "true" : "false";
    } else if (const int* i = value.Get<int>()) {
        type = "int";
        text.AppendInt(*i);
    } else if (const NarrowString* s = value.Get<NarrowString>()) {
        type = "string";
        text = *s;
    } else {
        // An unset key has nothing to write; leaving it out keeps the file loadable.
        return;
    }
    out.append(static_cast<std::size_t>(depth), '\t');
    out += "<key name=\"";
    RegistryXmlWriter::AppendAttribute(out, name);
    out += "\" type=\"" + type + "\">";
    RegistryXmlWriter::AppendText(out, text);
    out += "</key>\n";
}

// Recursion is bounded by the registry's depth limit on node creation.
void AppendNode(NarrowString& out, const NarrowString& name, const RegistryNode& node, int depth)
{
    out.append(static_cast<std::size_t>(depth), '\t');
    out += "<node name=\"";
    RegistryXmlWriter::AppendAttribute(out, name);
    out += "\">\n";
    for (const auto& key : node.GetKeys())
        AppendKey(out, key.first, *key.second, depth + 1);
    for (const auto& child : node.GetChildren())
        AppendNode(out, child.first, *child.second, depth + 1);
    out.append(static_cast<std::size_t>(depth), '\t');
    out += "</node>\n";
}

} // namespace

void RegistryXmlWriter::AppendText(NarrowString& out, const NarrowString& text)
{
    AppendEscapedText(out, text, false);
}

void RegistryXmlWriter::AppendAttribute(NarrowString& out, const NarrowString& value)
{
    AppendEscapedText(out, value, true);
}

NarrowString RegistryXmlWriter::Write(const RegistryNode& node, const NarrowString& name)
{
    NarrowString out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<registry>\n";
    AppendNode(out, name, node, 1);
    out += "</registry>\n";
    return out;
}

} // namespace Tarv

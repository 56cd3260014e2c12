// Parsing and reading speed of the XML layer on a layout-sized document.
#include "engine/core/Xml.h"
#include "engine/core/XmlIterator.h"

#include <benchmark/benchmark.h>

namespace
{

// About 100 KB: a thousand elements with attributes and text, split text in every tenth.
Tarv::NarrowString MakeDocument()
{
    Tarv::NarrowString text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<layout>\n";
    for (int i = 0; i < 1000; ++i) {
        text += "\t<item name=\"item";
        text.AppendInt(i);
        text += "\" x=\"12.5\" y=\"-3\" visible=\"yes\">";
        text += i % 10 == 0 ? "some <b/>split &amp; text" : "plain text of an item here";
        text += "<pos>1.5, 2, 3</pos></item>\n";
    }
    text += "</layout>\n";
    return text;
}

void ParseDocument(benchmark::State& state)
{
    const Tarv::NarrowString text = MakeDocument();
    if (!Tarv::Xml::CreateFromString(text))
        return state.SkipWithError("the document did not parse");
    for (auto _ : state) {
        Tarv::XmlPtr document = Tarv::Xml::CreateFromString(text);
        benchmark::DoNotOptimize(document.Get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * text.size());
}
BENCHMARK(ParseDocument);

void ReadEveryItem(benchmark::State& state)
{
    Tarv::XmlPtr document = Tarv::Xml::CreateFromString(MakeDocument());
    if (!document)
        return state.SkipWithError("the document did not parse");
    for (auto _ : state) {
        float sum = 0.0f;
        for (Tarv::XmlIterator item(Tarv::XmlIterator(document), "item"); item.IsValid(); item.Next()) {
            float x = 0.0f, px = 0.0f, py = 0.0f, pz = 0.0f;
            bool visible = false;
            Tarv::NarrowString name;
            item.GetAttributeFloat("x", x);
            item.GetAttributeBool("visible", visible);
            item.GetAttributeString("name", name);
            Tarv::XmlIterator(item, "pos").GetTextVector(px, py, pz);
            sum += x + px + (visible ? 1.0f : 0.0f) + static_cast<float>(name.size());
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 1000);
}
BENCHMARK(ReadEveryItem);

} // namespace

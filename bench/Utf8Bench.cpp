// Throughput of the text conversions that every localised and displayed text goes through.
#include "engine/core/NarrowString.h"
#include "engine/core/WideString.h"

#include <benchmark/benchmark.h>

namespace
{

Tarv::NarrowString MakeMixedText()
{
    // Latin, accented, CJK and an emoji: one- to four-byte forms in roughly equal numbers.
    Tarv::NarrowString text;
    while (text.size() < 4096)
        text += "Level caf\xc3\xa9 \xe6\xb0\xb4 \xf0\x9f\x98\x80 ";
    return text;
}

void DecodeMixedText(benchmark::State& state)
{
    const Tarv::NarrowString text = MakeMixedText();
    for (auto _ : state) {
        Tarv::WideString wide(text);
        benchmark::DoNotOptimize(wide.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * text.size());
}
BENCHMARK(DecodeMixedText);

void EncodeMixedText(benchmark::State& state)
{
    const Tarv::WideString wide(MakeMixedText());
    for (auto _ : state) {
        Tarv::NarrowString narrow(wide);
        benchmark::DoNotOptimize(narrow.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * wide.size());
}
BENCHMARK(EncodeMixedText);

} // namespace

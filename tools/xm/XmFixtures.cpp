// The generated module set. The "anchor" module keeps to what this player and FastTracker 2 do
// alike (notes, default volumes, Cxx, Fxx, the order list, forward loops, no envelopes), so an
// independent player can check its note onsets and pitches.
#include "tools/xm/XmFixtures.h"

#include <cmath>

namespace Tarv
{

namespace
{

XmCell Note(const char* name, std::uint8_t instrument, std::uint8_t effect = 0, std::uint8_t param = 0)
{
    XmCell cell;
    cell.note = XmNote(name);
    cell.instrument = instrument;
    cell.effect = effect;
    cell.param = param;
    return cell;
}

XmCell Effect(std::uint8_t effect, std::uint8_t param)
{
    XmCell cell;
    cell.effect = effect;
    cell.param = param;
    return cell;
}

// A decaying noise-free tone that does not loop: 8-bit, so the 8-bit decoder is played too.
XmInstrumentDesc MakePluckInstrument(int period, int length)
{
    XmInstrumentDesc instrument;
    instrument.name = "pluck";
    XmSampleDesc sample;
    sample.sixteenBit = false;
    sample.name = "pluck";
    sample.data.resize(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) {
        const double decay = 1.0 - static_cast<double>(i) / length;
        sample.data[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>(std::lround(24000.0 * decay * std::sin(2.0 * 3.14159265358979 * i / period)));
    }
    instrument.samples.push_back(sample);
    return instrument;
}

void MakeTone(XmModuleDesc& module)
{
    module.name = "tone";
    module.instruments.push_back(MakeSineInstrument(64, 20000.0));
    module.patterns.emplace_back(64, 1);
    module.patterns[0].At(0, 0) = Note("C-4", 1);
    module.orders = {0};
}

// Notes on rows 0, 8, 16, 24 silenced by C00 two rows before the next one; F03 halves the
// row length from row 16, and the second pattern runs at 150 BPM.
void MakeAnchor(XmModuleDesc& module)
{
    module.name = "anchor";
    module.instruments.push_back(MakeSineInstrument(64, 20000.0));
    module.patterns.emplace_back(32, 1);
    XmPatternDesc& first = module.patterns[0];
    first.At(0, 0) = Note("C-4", 1);
    first.At(6, 0) = Effect(0x0C, 0);
    first.At(8, 0) = Note("G-4", 1);
    first.At(14, 0) = Effect(0x0C, 0);
    first.At(16, 0) = Note("C-5", 1, 0x0F, 3);
    first.At(22, 0) = Effect(0x0C, 0);
    first.At(24, 0) = Note("E-4", 1, 0x0C, 0x30);
    first.At(30, 0) = Effect(0x0C, 0);
    module.patterns.emplace_back(16, 1);
    XmPatternDesc& second = module.patterns[1];
    second.At(0, 0) = Note("A-4", 1, 0x0F, 150);
    second.At(6, 0) = Effect(0x0C, 0);
    second.At(8, 0) = Note("D-5", 1, 0x0F, 6);
    second.At(14, 0) = Effect(0x0C, 0);
    module.orders = {0, 1};
}

// One channel per effect family, each retriggered so the effect runs on a sounding note.
void MakeEffects(XmModuleDesc& module)
{
    module.name = "effects";
    module.channelCount = 6;
    module.instruments.push_back(MakeSineInstrument(32, 12000.0));
    module.patterns.emplace_back(32, 6);
    XmPatternDesc& pattern = module.patterns[0];
    pattern.At(0, 0) = Note("C-4", 1, 0x01, 0x08);
    pattern.At(8, 0) = Note("C-4", 1, 0x02, 0x08);
    pattern.At(16, 0) = Note("C-5", 1, 0x01, 0xFF);
    pattern.At(0, 1) = Note("C-4", 1);
    pattern.At(4, 1) = Note("G-4", 1, 0x03, 0x10);
    pattern.At(5, 1) = Effect(0x03, 0);
    pattern.At(0, 2) = Note("E-4", 1, 0x0A, 0x02);
    pattern.At(4, 2) = Effect(0x0A, 0x20);
    pattern.At(8, 2) = Effect(0x06, 0x01);
    pattern.At(0, 3) = Note("G-3", 1, 0x0E, 0xB4);
    pattern.At(6, 3) = Effect(0x0E, 0xA2);
    pattern.At(0, 4) = Note("A-3", 1, 0x0C, 0x20);
    pattern.At(8, 4) = Effect(0x14, 0);
    pattern.At(12, 4) = Note("A-3", 1);
    pattern.At(14, 4).note = 97;
    pattern.At(0, 5) = Effect(0x0F, 0x04);
    pattern.At(16, 5) = Effect(0x0F, 0x90);
    pattern.At(31, 5) = Effect(0x0D, 0);
    module.orders = {0};
}

// Every volume-column range on a held note.
void MakeVolume(XmModuleDesc& module)
{
    module.name = "volume";
    module.instruments.push_back(MakeSineInstrument(48, 16000.0, 40));
    module.patterns.emplace_back(16, 1);
    XmPatternDesc& pattern = module.patterns[0];
    const std::uint8_t volumes[16] = {0, 0x30, 0x65, 0x72, 0x8F, 0x9F, 0x50, 0x10, 0x7F, 0x6A, 0xA3, 0xFF, 0x40, 0x88, 0, 0};
    pattern.At(0, 0) = Note("D-4", 1);
    for (int row = 1; row < 14; ++row)
        pattern.At(row, 0).volume = volumes[row];
    pattern.At(14, 0) = Note("D-4", 1);
    pattern.At(14, 0).volume = 0xFF;
    module.orders = {0};
}

// A volume envelope with a sustain point, released by a key-off note and by effect 0x14.
void MakeEnvelope(XmModuleDesc& module)
{
    module.name = "envelope";
    XmInstrumentDesc instrument = MakeSineInstrument(40, 18000.0);
    instrument.volumeEnvelope = {{0, 0}, {4, 64}, {10, 40}, {30, 40}, {60, 0}};
    instrument.volumeSustain = 2;
    instrument.volumeType = 3;
    module.instruments.push_back(instrument);
    module.patterns.emplace_back(32, 1);
    XmPatternDesc& pattern = module.patterns[0];
    pattern.At(0, 0) = Note("C-4", 1);
    pattern.At(6, 0).note = 97;
    pattern.At(16, 0) = Note("F-4", 1);
    pattern.At(20, 0) = Effect(0x14, 0);
    module.orders = {0};
}

// Forward, ping-pong and no loop, 16-bit and 8-bit, with a relative note and a finetune.
void MakeLoops(XmModuleDesc& module)
{
    module.name = "loops";
    module.channelCount = 3;
    XmInstrumentDesc forward = MakeSineInstrument(50, 15000.0);
    forward.samples[0].relativeNote = 12;
    forward.samples[0].finetune = -16;
    module.instruments.push_back(forward);
    XmInstrumentDesc pingPong = MakeSineInstrument(50, 15000.0);
    pingPong.samples[0].loopType = 2;
    pingPong.samples[0].sixteenBit = false;
    module.instruments.push_back(pingPong);
    module.instruments.push_back(MakePluckInstrument(40, 3000));
    module.patterns.emplace_back(16, 3);
    XmPatternDesc& pattern = module.patterns[0];
    pattern.At(0, 0) = Note("C-3", 1);
    pattern.At(0, 1) = Note("E-4", 2);
    pattern.At(0, 2) = Note("G-4", 3);
    pattern.At(8, 2) = Note("C-5", 3);
    module.orders = {0};
}

// Three patterns of different lengths in the order list 0 1 2 1, with a pattern break.
void MakeOrders(XmModuleDesc& module)
{
    module.name = "orders";
    module.defaultTempo = 3;
    module.instruments.push_back(MakeSineInstrument(64, 16000.0));
    const char* notes[3] = {"C-4", "E-4", "G-4"};
    const int rows[3] = {8, 4, 16};
    for (int p = 0; p < 3; ++p) {
        module.patterns.emplace_back(rows[p], 1);
        module.patterns[static_cast<std::size_t>(p)].At(0, 0) = Note(notes[p], 1);
    }
    module.patterns[2].At(6, 0) = Effect(0x0D, 0);
    module.orders = {0, 1, 2, 1};
}

// Sixteen channels for a little over a minute at speed 6 and 125 BPM: eight orders of 64 rows.
void MakeBench16(XmModuleDesc& module)
{
    module.name = "bench16";
    module.channelCount = 16;
    for (int i = 0; i < 4; ++i)
        module.instruments.push_back(MakeSineInstrument(32 + 16 * i, 6000.0, static_cast<std::uint8_t>(64 - 8 * i)));
    module.instruments.push_back(MakePluckInstrument(36, 6000));
    const char* scale[8] = {"C-4", "D-4", "E-4", "F-4", "G-4", "A-4", "B-4", "C-5"};
    for (int p = 0; p < 4; ++p) {
        module.patterns.emplace_back(64, 16);
        XmPatternDesc& pattern = module.patterns.back();
        for (int channel = 0; channel < 16; ++channel) {
            for (int row = (channel % 4); row < 64; row += 4) {
                const int step = (row / 4 + channel + p) % 8;
                pattern.At(row, channel) = Note(scale[step], static_cast<std::uint8_t>(1 + (channel + row) % 5));
            }
        }
    }
    module.orders = {0, 1, 2, 3, 0, 1, 2, 3};
}

} // namespace

std::vector<std::string> GetXmFixtureNames()
{
    return {"tone", "anchor", "effects", "volume", "envelope", "loops", "orders", "bench16"};
}

XmInstrumentDesc MakeSineInstrument(int period, double peak, std::uint8_t volume)
{
    XmInstrumentDesc instrument;
    instrument.name = "sine";
    XmSampleDesc sample;
    sample.name = "sine";
    sample.data = MakeSineCycle(period, peak);
    sample.loopType = 1;
    sample.loopStart = 0;
    sample.loopLength = static_cast<std::uint32_t>(period);
    sample.volume = volume;
    instrument.samples.push_back(sample);
    return instrument;
}

bool MakeXmFixture(const std::string& name, XmModuleDesc& module)
{
    module = XmModuleDesc();
    using Maker = void (*)(XmModuleDesc&);
    const struct
    {
        const char* name;
        Maker make;
    } MAKERS[] = {{"tone", &MakeTone},         {"anchor", &MakeAnchor}, {"effects", &MakeEffects},
                  {"volume", &MakeVolume},     {"envelope", &MakeEnvelope}, {"loops", &MakeLoops},
                  {"orders", &MakeOrders},     {"bench16", &MakeBench16}};
    for (const auto& maker : MAKERS) {
        if (name == maker.name) {
            maker.make(module);
            return true;
        }
    }
    return false;
}

} // namespace Tarv

// The generated module set: small modules that each exercise one part of the player (timing,
// effects, volume column, envelopes, loops, order lists) plus a 16-channel one-minute song.
#pragma once

#include "tools/xm/XmWriter.h"

#include <string>
#include <vector>

namespace Tarv
{

// "tone", "anchor", "effects", "volume", "envelope", "loops", "orders", "bench16".
std::vector<std::string> GetXmFixtureNames();
// Fills module with the named fixture; false for an unknown name.
bool MakeXmFixture(const std::string& name, XmModuleDesc& module);
// A looping 16-bit sine instrument: period samples a cycle, peak amplitude, volume 0..64.
XmInstrumentDesc MakeSineInstrument(int period, double peak, std::uint8_t volume = 64);

} // namespace Tarv

// Tarv::ComposeTune: turns a song written as text (a ".tune": tempo, synthesised instruments,
// patterns as one line of notes per channel, an order list) into a module description that
// XmWriter writes. The instruments' samples are made here, so a song needs no recordings.
#pragma once

#include "tools/xm/XmWriter.h"

#include <string>

namespace Tarv
{

// Lines; a line whose first word starts with "#" is a comment ("#" inside notes is a sharp):
//   song NAME | bpm N | speed N | rows N          rows: every pattern's length
//   instrument N WAVE [decay SECONDS] [duty PERCENT] [sustain]
//     WAVE: sine, triangle, square, saw (looped cycles), pluck, noise, kick, snare (one-shot,
//     decaying); "sustain" gives a looped wave an attack-hold-release envelope that key-off ends
//   pattern NAME, then one line per channel: INSTRUMENT VOLUME TOKEN... [xN]
//     TOKEN: a note ("C-4", "F#5"), "." (nothing) or "^" (key off), each with an optional
//     ":ROWS" length; "xN" at the end repeats the line's tokens N times
//   order NAME...
// False with a message naming the line on any fault: unknown words, a pattern line whose rows
// do not add up, an unknown instrument or pattern, a volume above 64.
bool ComposeTune(const std::string& text, XmModuleDesc& module, std::string& error);

} // namespace Tarv

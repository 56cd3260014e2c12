// The developer check of shipped levels: every level file read and its grid checked against the
// layout rules, without touching the level being played or any setting.
#pragma once

namespace Pirrock
{

class MessageSink;

// Reads "levels/01.xml" up to level count's file, builds each one's grid without a hero and
// checks it (World::ValidateLevel, running right). Prints one line per fault, one per level
// that does not load, and a closing summary to sink; returns the number of faults and failed
// levels together. Main thread.
int ValidateLevelFiles(int count, MessageSink& sink);

} // namespace Pirrock

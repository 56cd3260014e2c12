// Pirrock::RunSimProgram: the command line of pirrock-sim, the headless game. It replays cases of
// one level (a level's recorded cases or a replay file, or the auto-test run) and writes their
// traces; the status says whether every case met its expectation.
#pragma once

#include <ostream>

namespace Pirrock
{

// 0 when every case met its expectation, 1 when one did not, 2 for a wrong command line or a
// file, archive or level that does not read. The traces go to out (or the --trace file), the
// verdict of each case and the errors to err.
int RunSimProgram(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

} // namespace Pirrock

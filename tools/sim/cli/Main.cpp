// pirrock-sim: the game played headless from recorded cases or a replay (see SimProgram.h).
#include "tools/sim/SimProgram.h"

#include <iostream>

int main(int argc, char** argv)
{
    return Pirrock::RunSimProgram(argc, argv, std::cout, std::cerr);
}

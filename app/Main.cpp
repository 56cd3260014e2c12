// Program entry: hands over to the engine's entry, which runs the one application.
#include "engine/platform/Main.h"

int main(int argc, char** argv)
{
    return Tarv::Main(argc, argv);
}

// Program entry: for now it reports the engine core it was built with and exits.
#include <cstdio>

int main()
{
    std::printf("Brashwick 1.0.0: engine core built; the window comes with the platform shell.\n");
    return 0;
}

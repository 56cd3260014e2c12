// Program entry: for now it reports the engine core it was built with and exits.
#include "engine/core/NarrowString.h"
#include "engine/core/WideString.h"

#include <cstdio>

int main()
{
    // The title takes the same road as every displayed text: UTF-8 in, code points, UTF-8 out.
    const Tarv::WideString title(Tarv::NarrowString("Brashwick"));
    std::printf("%s 1.0.0: engine core built; the window comes with the platform shell.\n",
        Tarv::NarrowString(title).c_str());
    return 0;
}

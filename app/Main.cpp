// Program entry: hands over to the engine's entry, which runs the one application, then ends
// the service registry, which outlives the application.
#include "engine/platform/Main.h"
#include "framework/System.h"

int main(int argc, char** argv)
{
    const int status = Tarv::Main(argc, argv);
    Quor::System::Destroy();
    return status;
}

// Program entry: installs the scripted screens behind the framework's script components, then
// hands over to the engine's entry, which runs the one application. The application ends the
// service registry while its GL context lives; this is the safety net.
#include "framework/System.h"
#include "gui/Screen.h"
#include "platform/Main.h"

int main(int argc, char** argv)
{
    Plim::Screen::InstallFactory();
    const int status = Tarv::Main(argc, argv);
    Quor::System::Destroy();
    return status;
}

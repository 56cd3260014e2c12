// The program's developer console behind the application's hooks.
#include "app/Console.h"

#include "console/ConsoleHooks.h"
#include "console/DebugOverlay.h"
#include "framework/Application.h"

namespace Brashwick
{

void AttachConsole(Quor::Application& application)
{
    if (!application.IsReady())
        return;
    // Outlives the application, whose destructor removes it again.
    static Tarv::ConsoleHooks hooks;
    Tarv::DebugOverlay::Create();
    application.InstallHooks(&hooks);
}

} // namespace Brashwick

// The program's developer console: made once the shell is ready and reached by the engine only
// through the application's hooks.
#pragma once

namespace Quor
{
class Application;
}

namespace Brashwick
{

// Creates the console and installs hooks that lead to it, when the application's shell is
// ready; the application releases the console with its other services.
void AttachConsole(Quor::Application& application);

} // namespace Brashwick

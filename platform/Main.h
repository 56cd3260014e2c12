// The program entry of the engine: registration with the service bus, the one application,
// its main loop, and the exit status.
#pragma once

namespace Tarv
{

class MaemoApplication;

// Made by the game (or the program's stand-in): the one application object, count 0.
MaemoApplication* CreateApplication();

// Changes to the executable's own folder, registers "org.maemo.tarv" "0.0.1" with the service
// bus, creates the application and runs it. Returns -1 when registration fails (before any
// window), 1 when the X display, the window or the GL screen cannot be set up, else Run's 0.
int Main(int argc, char** argv);

} // namespace Tarv

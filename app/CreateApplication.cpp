// The factory the engine's entry calls: the game's application, with the developer console.
#include "app/Console.h"
#include "game/Game.h"
#include "platform/Main.h"

namespace Tarv
{

MaemoApplication* CreateApplication()
{
    auto* game = new Pirrock::Game;
    Brashwick::AttachConsole(*game);
    return game;
}

} // namespace Tarv

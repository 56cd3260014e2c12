// The start-up pictures: their loads, the timed hand-over and the centred drawing.
#include "game/SplashStates.h"

#include "engine/core/SmartPtr.h"
#include "framework/Application.h"
#include "framework/AssetFunctions.h"
#include "framework/Settings.h"
#include "framework/System.h"
#include "graphics/render/Surface.h"

#include <cstdint>

namespace Pirrock
{

NextStateFactory GameSplashState::s_next = nullptr;

namespace
{

Quor::Substatable* RootMachine()
{
    Quor::System* system = Quor::System::GetInstance();
    return system != nullptr ? system->GetRoot() : nullptr;
}

// Hands a new state to the machine, which then counts it; a state nobody takes is released.
void Preload(Quor::Substatable* machine, Quor::ApplicationState* state)
{
    Tarv::SmartPtr<Quor::ApplicationState> held(state);
    if (machine != nullptr && state != nullptr)
        machine->PreloadState(state);
}

} // namespace

void SplashState::Load()
{
    ChangeState(Tarv::MakeSmart<VexolanLogoState>().Get(), false);
}

void SplashState::Leave()
{
    Quor::UnloadAtlas(ATLAS);
}

PictureState::PictureState(const Tarv::NarrowString& name, const char* file)
    : ApplicationState(name), m_file(file)
{
}

void PictureState::Load()
{
    RequestAssetInto(m_file, &m_image);
}

void PictureState::UpdateState(const float& dt)
{
    m_elapsed += dt;
    Quor::Settings* settings = Quor::Settings::GetInstance();
    const int limit = settings != nullptr ? settings->GetInt(TIME_KEY) : 0;
    // The switch is asked once: when the next state is not ready yet the machine keeps this one
    // current behind its loading screen, and asking again would restart nothing useful.
    if (!m_switched && m_elapsed * 1000.0f > static_cast<float>(limit)) {
        m_switched = true;
        SwitchOn();
    }
}

void PictureState::RenderState(Tarv::Surface* surface)
{
    if (surface == nullptr)
        return;
    static const std::uint8_t white[4] = {255, 255, 255, 255};
    surface->ClearColor(white);
    // A picture that failed to load leaves the white screen.
    if (m_image == nullptr)
        return;
    const int width = m_image->GetWidth();
    const int height = m_image->GetHeight();
    // The rectangle is the picture's own, wherever it sits in an atlas page.
    const int source[4] = {0, 0, width, height};
    surface->Blit((surface->GetWidth() - width) / 2, (surface->GetHeight() - height) / 2, m_image,
                  source);
}

void VexolanLogoState::Enter()
{
    Preload(Quor::Substatable::FindByName(SplashState::NAME), new GameSplashState);
}

void VexolanLogoState::SwitchOn()
{
    if (Quor::Substatable* splash = Quor::Substatable::FindByName(SplashState::NAME))
        splash->SwitchToPreloaded(true);
}

void GameSplashState::Load()
{
    PictureState::Load();
    // The application registers the game's atlases ("debug.xml").
    Quor::System* system = Quor::System::GetInstance();
    if (auto* application = dynamic_cast<Quor::Application*>(system != nullptr ? system->GetRoot() : nullptr))
        application->LoadGameAtlases();
}

void GameSplashState::Enter()
{
    if (s_next != nullptr)
        Preload(RootMachine(), s_next());
}

void GameSplashState::SwitchOn()
{
    Quor::Substatable* root = RootMachine();
    if (root != nullptr && root->HasPreload())
        root->SwitchToPreloaded(true);
}

} // namespace Pirrock

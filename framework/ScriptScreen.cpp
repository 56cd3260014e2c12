// The installed maker of scripted screens.
#include "framework/ScriptScreen.h"

#include <atomic>

namespace Quor
{

namespace
{

std::atomic<ScriptScreen::Factory> s_factory{nullptr};

} // namespace

void ScriptScreen::SetFactory(Factory factory)
{
    s_factory.store(factory);
}

Tarv::SmartPtr<ScriptScreen> ScriptScreen::Create(const Tarv::NarrowString& layoutPath)
{
    const Factory factory = s_factory.load();
    return factory != nullptr ? factory(layoutPath) : Tarv::SmartPtr<ScriptScreen>();
}

} // namespace Quor

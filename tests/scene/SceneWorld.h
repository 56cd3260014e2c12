// Shared by the scene tests: an engine registry whose "/machine" keys report a screen size the
// test chooses, and the scene layer's two program-wide slots emptied around each test.
#pragma once

#include "engine/core/SmartPtr.h"
#include "engine/registry/Registry.h"
#include "scene/BasicRenderer.h"
#include "scene/Camera.h"
#include "tests/engine/registry/FakeMachine.h"
#include "tests/scene/VectorPrinter.h"

#include <gtest/gtest.h>

namespace SceneTest
{

class SceneWorld
{
public:
    SceneWorld()
    {
        Tarv::Registry::Instance = new Tarv::Registry(&machine);
        Vund::Renderer::Instance = new Vund::BasicRenderer();
        Vund::ActiveCamera.Reset();
    }
    ~SceneWorld()
    {
        Vund::ActiveCamera.Reset();
        Vund::Renderer::Instance.Reset();
        Tarv::Registry::Instance.Reset();
    }

    FakeMachine machine;
};

} // namespace SceneTest

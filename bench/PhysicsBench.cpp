// The physics pass over many dynamic objects (gravity and drag on, as the game's bodies):
// nanoseconds per object per step.
#include "framework/System.h"
#include "scene/DynamicObject.h"
#include "scene/Physics.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace
{

void BM_PhysicsStep(benchmark::State& state)
{
    Quor::System::Create(nullptr);
    {
        std::vector<std::unique_ptr<Vund::DynamicObject>> objects;
        for (int i = 0; i < state.range(0); ++i) {
            objects.push_back(std::make_unique<Vund::DynamicObject>(
                Vund::Vector3D(static_cast<float>(i), 0, 0), Vund::Vector3D(1, 2, 0), 1.0f, Vund::Rotation(),
                Vund::Rotation(), 1.0f));
            objects.back()->gravity = true;
            objects.back()->angularDrag = i % 4 == 0;
        }
        Quor::System* system = Quor::System::GetInstance();
        const Vund::Vector3D start = objects.back()->GetPosition();
        for (auto _ : state)
            system->UpdateManagers(1.0f / 60.0f);
        if (objects.back()->GetPosition().y == start.y)
            state.SkipWithError("the objects did not move");
        state.counters["nsPerObjectStep"] = benchmark::Counter(
            static_cast<double>(state.iterations() * state.range(0)),
            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    }
    Quor::System::Destroy();
}
BENCHMARK(BM_PhysicsStep)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace

// Cost of the framework's per-step work: a process manager's walk over many processes, and
// one update of a small state tree with its clients.
#include "framework/ApplicationState.h"
#include "framework/ProcessManager.h"
#include "framework/Substatable.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace
{

class TinyProcess : public Quor::Process
{
public:
    TinyProcess() : Quor::Process("tiny") {}
    float total = 0.0f;

protected:
    void Update() override { total += GetStep(); }
};

void BM_ProcessManagerWalk(benchmark::State& state)
{
    Quor::ProcessManager manager("bench");
    std::vector<std::unique_ptr<TinyProcess>> processes;
    for (int i = 0; i < state.range(0); ++i) {
        processes.push_back(std::make_unique<TinyProcess>());
        manager.AddProcess(processes.back().get());
    }
    for (auto _ : state)
        manager.Tick(1.0f / 30.0f);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    if (processes.back()->total <= 0.0f)
        state.SkipWithError("the processes did not run");
}
BENCHMARK(BM_ProcessManagerWalk)->Arg(16)->Arg(1024);

void BM_NestedTreeUpdate(benchmark::State& state)
{
    Tarv::SmartPtr<Quor::Substatable> root(new Quor::Substatable("bench root"));
    auto* game = new Quor::Substatable("bench game");
    auto* play = new Quor::ApplicationState("bench play");
    TinyProcess process;
    play->GetProcessManager().AddProcess(&process);
    game->SetPending(play);
    root->SetPending(game);
    for (auto _ : state)
        root->Update(1.0f / 30.0f);
    play->GetProcessManager().RemoveProcess("tiny");
    if (process.total <= 0.0f)
        state.SkipWithError("the state's process did not run");
}
BENCHMARK(BM_NestedTreeUpdate);

} // namespace

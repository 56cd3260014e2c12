// The manager's walk: order, removal of the visited and of other processes during the walk,
// appends, observers, kill and CanRemove, and look-up by whole name.
#include "framework/ProcessManager.h"

#include "framework/ProcessObserver.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

// A process whose work logs its name and then runs an optional action.
class ScriptedProcess : public Quor::Process
{
public:
    ScriptedProcess(const char* name, std::vector<std::string>* log, float duration = UNBOUNDED)
        : Quor::Process(name, 0.0f, duration), m_log(log)
    {
    }

    std::function<void()> action;
    bool removable = true;
    float lastStep = 0.0f;

    bool CanRemove() override { return removable; }

protected:
    void Update() override
    {
        m_log->push_back(GetName());
        lastStep = GetStep();
        if (action)
            action();
    }

private:
    std::vector<std::string>* m_log;
};

class RecordingObserver : public Quor::ProcessObserver
{
public:
    RecordingObserver(const char* name, std::vector<std::string>* log) : m_name(name), m_log(log) {}
    std::function<void(Quor::Process*)> action;

    void OnProcessEnd(Quor::Process* process) override
    {
        m_log->push_back(m_name + " saw " + process->GetName());
        if (action)
            action(process);
    }

private:
    std::string m_name;
    std::vector<std::string>* m_log;
};

using Log = std::vector<std::string>;

} // namespace

class ProcessWalk : public testing::Test
{
protected:
    Quor::ProcessManager manager{"manager"};
    Log log;
    ScriptedProcess a{"a", &log};
    ScriptedProcess b{"b", &log};
    ScriptedProcess c{"c", &log};
    ScriptedProcess d{"d", &log};

    void AddAll()
    {
        for (ScriptedProcess* process : {&a, &b, &c, &d})
            manager.AddProcess(process);
    }
};

TEST_F(ProcessWalk, VisitsInInsertionOrderWithTheManagersStep)
{
    AddAll();
    manager.Tick(0.04f);
    EXPECT_EQ(log, (Log{"a", "b", "c", "d"}));
    EXPECT_FLOAT_EQ(c.lastStep, 0.04f);
}

// Removals from inside a process's work: the visited one (the walk goes on with the next), an
// earlier one (nothing skipped), a later one (not visited), itself and its neighbours.
TEST_F(ProcessWalk, RemovalsDuringTheWalkSkipOnlyWhatWasRemoved)
{
    const struct { char actor; const char* removed; Log walked; std::size_t left; } cases[] = {
        {'b', "b", {"a", "b", "c", "d"}, 3}, {'c', "a", {"a", "b", "c", "d"}, 3},
        {'b', "c", {"a", "b", "d"}, 3}, {'b', "bca", {"a", "b", "d"}, 1}};
    for (const auto& c : cases) {
        Quor::ProcessManager walk("walk");
        log.clear();
        for (ScriptedProcess* process : {&a, &b, &this->c, &d}) {
            process->action = nullptr;
            walk.AddProcess(process);
        }
        ScriptedProcess* actor = c.actor == 'b' ? &b : &this->c;
        const std::string removed = c.removed;
        actor->action = [&walk, removed] {
            for (char name : removed)
                walk.RemoveProcess(std::string(1, name).c_str());
        };
        walk.Tick(0.1f);
        EXPECT_EQ(log, c.walked) << c.actor << " removing " << c.removed;
        EXPECT_EQ(walk.GetItems().size(), c.left) << c.actor << " removing " << c.removed;
    }
}

TEST_F(ProcessWalk, AProcessAppendedDuringTheWalkRunsInThatWalk)
{
    manager.AddProcess(&a);
    manager.AddProcess(&b);
    a.action = [this] {
        if (!manager.FindProcess("c"))
            manager.AddProcess(&c);
    };
    manager.Tick(0.1f);
    EXPECT_EQ(log, (Log{"a", "b", "c"}));
}

TEST_F(ProcessWalk, AnEndedProcessIsDroppedAndTheOneAfterItStillRuns)
{
    ScriptedProcess shortLived("short", &log, 0.15f);
    manager.AddProcess(&a);
    manager.AddProcess(&shortLived);
    manager.AddProcess(&b);
    RecordingObserver first("first", &log);
    RecordingObserver second("second", &log);
    manager.AddObserver(&first);
    manager.AddObserver(&second);

    manager.Tick(0.1f);
    manager.Tick(0.1f);
    EXPECT_EQ(log, (Log{"a", "short", "b", "a", "first saw short", "second saw short", "b"}));
    EXPECT_EQ(manager.FindProcess("short"), nullptr);
}

TEST_F(ProcessWalk, AProcessThatCannotBeRemovedIsAnnouncedAgainEachWalk)
{
    ScriptedProcess sticky("sticky", &log, 0.05f);
    sticky.removable = false;
    manager.AddProcess(&sticky);
    RecordingObserver observer("o", &log);
    manager.AddObserver(&observer);
    manager.Tick(0.1f);
    manager.Tick(0.1f);
    EXPECT_EQ(log, (Log{"o saw sticky", "o saw sticky"}));
    EXPECT_EQ(manager.FindProcess("sticky"), &sticky);
}

TEST_F(ProcessWalk, AKilledProcessIsNotTickedButAnnouncedAndDroppedEvenIfItWouldStay)
{
    b.removable = false;
    b.Kill();
    manager.AddProcess(&a);
    manager.AddProcess(&b);
    RecordingObserver observer("o", &log);
    manager.AddObserver(&observer);
    manager.Tick(0.1f);
    EXPECT_EQ(log, (Log{"a", "o saw b"}));
    EXPECT_EQ(manager.FindProcess("b"), nullptr);
}

TEST_F(ProcessWalk, AnObserverThatRemovesAndFreesTheProcessIsSafe)
{
    auto* doomed = new ScriptedProcess("doomed", &log, 0.05f);
    manager.AddProcess(doomed);
    manager.AddProcess(&a);
    RecordingObserver observer("o", &log);
    observer.action = [this](Quor::Process* process) {
        manager.RemoveProcess(process->GetName());
        delete process;
    };
    manager.AddObserver(&observer);
    manager.Tick(0.1f);
    EXPECT_EQ(log, (Log{"o saw doomed", "a"}));
}

TEST_F(ProcessWalk, AnObserverRemovedWhileObserversAreToldIsNotCalledAfterwards)
{
    ScriptedProcess shortLived("short", &log, 0.05f);
    manager.AddProcess(&shortLived);
    RecordingObserver first("first", &log);
    RecordingObserver second("second", &log);
    first.action = [&](Quor::Process*) { manager.RemoveObserver(&second); };
    manager.AddObserver(&first);
    manager.AddObserver(&second);
    manager.Tick(0.1f);
    EXPECT_EQ(log, (Log{"first saw short"}));
}

TEST_F(ProcessWalk, AProcessAddedTwiceRunsTwicePerWalk)
{
    manager.AddProcess(&a);
    manager.AddProcess(&a);
    manager.Tick(0.1f);
    EXPECT_EQ(log, (Log{"a", "a"}));
}

TEST_F(ProcessWalk, FindAndRemoveCompareWholeNames)
{
    ScriptedProcess longer("ab", &log);
    manager.AddProcess(&longer);
    EXPECT_EQ(manager.FindProcess("a"), nullptr);
    EXPECT_FALSE(manager.RemoveProcess("a"));
    EXPECT_EQ(manager.FindProcess("ab"), &longer);
    EXPECT_TRUE(manager.RemoveProcess("ab"));
    EXPECT_FALSE(manager.RemoveProcess("ab"));
}

TEST_F(ProcessWalk, AManagerWithAnIntervalGivesItsProcessesTheInterval)
{
    manager.SetInterval(0.02f);
    manager.AddProcess(&a);
    manager.Tick(0.05f);
    EXPECT_EQ(log, (Log{"a", "a"}));
    EXPECT_FLOAT_EQ(a.lastStep, 0.02f);
}

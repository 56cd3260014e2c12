// Test states and clients that log every call they receive, so tests can compare the order of
// calls through the state tree with the expected one, call by call.
#pragma once

#include "engine/core/NarrowString.h"
#include "framework/ApplicationLoadingState.h"
#include "framework/ApplicationState.h"
#include "framework/Substatable.h"
#include "framework/SubstatableClient.h"
#include "platform/AbstractApp.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace QuorTest
{

// One ordered list of "who.what" entries shared by every recorder of a test. Loads run on the
// loader thread at a moment the main thread does not control, so they go to a list of their
// own and the main thread's calls keep a fixed order.
class CallLog
{
public:
    void Add(const std::string& entry)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_entries.push_back(entry);
    }
    void AddLoad(const std::string& entry)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_loads.push_back(entry);
    }
    // The main-thread entries since the last Take, and a fresh start.
    std::vector<std::string> Take()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<std::string> taken;
        taken.swap(m_entries);
        return taken;
    }
    std::vector<std::string> TakeLoads()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<std::string> taken;
        taken.swap(m_loads);
        return taken;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_entries;
    std::vector<std::string> m_loads;
};

// How long a test waits for a load or a gate before it reports a failure.
constexpr int LOAD_WAIT_MS = 5000;

// A door a loader thread waits at until the test opens it.
class Gate
{
public:
    void Open()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    // Waits at most LOAD_WAIT_MS, so a test that never opens the gate fails instead of hanging.
    bool Wait()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(LOAD_WAIT_MS), [this] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = false;
};

// True once the condition holds, false after LOAD_WAIT_MS.
template <class Condition>
bool WaitUntil(Condition condition)
{
    return TestSupport::WaitUntil(condition, LOAD_WAIT_MS);
}

// Logs every state operation it receives, then runs Base's own; Base is a state class.
template <class Base>
class Recorder : public Base
{
public:
    Recorder(const char* name, CallLog* log, int* destroyed = nullptr) : Base(name), m_log(log), m_destroyed(destroyed) {}
    ~Recorder() override
    {
        if (m_destroyed != nullptr)
            ++*m_destroyed;
    }

    // Optional: Load waits at this gate first, so the test decides when the load ends.
    Gate* loadGate = nullptr;
    // Optional: run inside Load (on the loader thread), after the gate.
    std::function<void()> onLoad;

    void Load() override
    {
        if (loadGate != nullptr && !loadGate->Wait())
            ADD_FAILURE() << this->GetName() << ": the load gate was never opened";
        m_log->AddLoad(this->GetName() + ".Load");
        if (onLoad)
            onLoad();
        Base::Load();
    }
    void Enter() override { Log("Enter"); Base::Enter(); }
    void Leave() override { Log("Leave"); Base::Leave(); }
    void UpdateState(const float& dt) override { Log("UpdateState"); Base::UpdateState(dt); }
    void RenderState(Tarv::Surface* surface) override { Log("RenderState"); Base::RenderState(surface); }
    void OnKeyDown(int key) override { Log("OnKeyDown " + std::to_string(key)); Base::OnKeyDown(key); }
    void OnKeyUp(int key) override { Log("OnKeyUp " + std::to_string(key)); Base::OnKeyUp(key); }
    void OnTouchDown(const Quor::TouchPoints& points) override { Log("OnTouchDown"); Base::OnTouchDown(points); }
    void OnTouchUp(const Quor::TouchPoints& points) override { Log("OnTouchUp"); Base::OnTouchUp(points); }
    void OnTouchMove(const Quor::TouchPoints& points) override { Log("OnTouchMove"); Base::OnTouchMove(points); }
    void OnAccelerometer(float x, float y, float z) override { Log("OnAccelerometer"); Base::OnAccelerometer(x, y, z); }
    void OnEnter(Quor::Substatable* parent) override { Log("OnEnter " + parent->GetName()); Base::OnEnter(parent); }
    void OnExit() override { Log("OnExit"); Base::OnExit(); }

protected:
    void Log(const std::string& what) { m_log->Add(this->GetName() + "." + what); }

private:
    CallLog* m_log;
    int* m_destroyed;
};

using RecordingState = Recorder<Quor::ApplicationState>;
using RecordingSubstatable = Recorder<Quor::Substatable>;
using RecordingScreen = Recorder<Quor::ApplicationLoadingState>;

class RecordingClient : public Quor::SubstatableClient
{
public:
    RecordingClient(const char* name, CallLog* log) : m_name(name), m_log(log) {}

    void Update(const float&) override { Log("Update"); }
    void Render(Tarv::Surface*) override { Log("Render"); }
    void OnKeyDown(int key) override { Log("OnKeyDown " + std::to_string(key)); }
    void OnKeyUp(int key) override { Log("OnKeyUp " + std::to_string(key)); }
    void OnTouchDown(const Quor::TouchPoints&) override { Log("OnTouchDown"); }
    void OnTouchUp(const Quor::TouchPoints&) override { Log("OnTouchUp"); }
    void OnTouchMove(const Quor::TouchPoints&) override { Log("OnTouchMove"); }
    void OnAccelerometer(float, float, float) override { Log("OnAccelerometer"); }

private:
    void Log(const std::string& what) { m_log->Add(m_name + "." + what); }

    std::string m_name;
    CallLog* m_log;
};

} // namespace QuorTest

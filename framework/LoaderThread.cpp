// The loader thread: creation with a large stack, the fallback to a load on the calling
// thread, and the reaper that joins abandoned loaders.
#include "framework/LoaderThread.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace Quor
{

namespace
{

std::atomic<std::size_t> g_stackSize{LoaderThread::DEFAULT_STACK_SIZE};

struct Reaper
{
    std::mutex mutex;
    std::vector<std::unique_ptr<LoaderThread>> loaders;
    // The list's size, so the per-update reap costs one load when nothing is abandoned.
    std::atomic<std::size_t> count{0};
};

Reaper& GetReaper()
{
    // Never destroyed: a loader abandoned at exit must not meet a destroyed list.
    static Reaper* reaper = new Reaper;
    return *reaper;
}

} // namespace

LoaderThread::LoaderThread(const Tarv::SmartPtr<ApplicationState>& target) : m_target(target) {}

LoaderThread::~LoaderThread()
{
    Join();
}

bool LoaderThread::Start()
{
    if (m_started)
        return m_running;
    m_started = true;

    pthread_attr_t attributes;
    bool created = false;
    if (pthread_attr_init(&attributes) == 0) {
        if (pthread_attr_setstacksize(&attributes, GetStackSize()) == 0)
            created = pthread_create(&m_thread, &attributes, &LoaderThread::Main, this) == 0;
        pthread_attr_destroy(&attributes);
    }
    if (created) {
        m_running = true;
        return true;
    }
    // No thread: load here, so the switch still happens instead of a loading screen forever.
    Main(this);
    return false;
}

void LoaderThread::Join()
{
    if (!m_running)
        return;
    pthread_join(m_thread, nullptr);
    m_running = false;
}

void* LoaderThread::Main(void* self)
{
    LoaderThread* loader = static_cast<LoaderThread*>(self);
    // The target is held by this object, which outlives the thread (it is joined first).
    if (loader->m_target)
        loader->m_target->LoadNow(&loader->m_cancel);
    loader->m_loaded.store(true, std::memory_order_release);
    return nullptr;
}

void LoaderThread::SetStackSize(std::size_t bytes)
{
    g_stackSize.store(std::max(bytes, MIN_STACK_SIZE));
}

std::size_t LoaderThread::GetStackSize()
{
    return g_stackSize.load();
}

void LoaderThread::Abandon(std::unique_ptr<LoaderThread> loader)
{
    if (!loader)
        return;
    loader->Cancel();
    if (!loader->m_running || loader->IsLoaded())
        return; // joined (if need be) and freed here
    Reaper& reaper = GetReaper();
    std::lock_guard<std::mutex> lock(reaper.mutex);
    reaper.loaders.push_back(std::move(loader));
    reaper.count.store(reaper.loaders.size());
}

void LoaderThread::ReapFinished()
{
    Reaper& reaper = GetReaper();
    if (reaper.count.load() == 0)
        return;
    std::vector<std::unique_ptr<LoaderThread>> finished;
    {
        std::lock_guard<std::mutex> lock(reaper.mutex);
        auto& loaders = reaper.loaders;
        auto done = std::stable_partition(loaders.begin(), loaders.end(),
                                          [](const std::unique_ptr<LoaderThread>& loader) { return !loader->IsLoaded(); });
        std::move(done, loaders.end(), std::back_inserter(finished));
        loaders.erase(done, loaders.end());
        reaper.count.store(loaders.size());
    }
    // Joined and freed outside the lock: a target's destructor may abandon loaders of its own.
    finished.clear();
}

void LoaderThread::JoinAll()
{
    while (true) {
        std::vector<std::unique_ptr<LoaderThread>> loaders;
        {
            Reaper& reaper = GetReaper();
            std::lock_guard<std::mutex> lock(reaper.mutex);
            loaders.swap(reaper.loaders);
            reaper.count.store(0);
        }
        if (loaders.empty())
            return;
        for (auto& loader : loaders)
            loader->Cancel();
        loaders.clear();
    }
}

std::size_t LoaderThread::GetAbandonedCount()
{
    Reaper& reaper = GetReaper();
    std::lock_guard<std::mutex> lock(reaper.mutex);
    return reaper.loaders.size();
}

} // namespace Quor

// The loader thread: creation with a large stack and the fallback to a load on the calling
// thread.
#include "framework/LoaderThread.h"

#include <algorithm>

namespace Quor
{

namespace
{

std::atomic<std::size_t> g_stackSize{LoaderThread::DEFAULT_STACK_SIZE};

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
        loader->m_target->LoadNow();
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

} // namespace Quor

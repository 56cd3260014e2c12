// Quor::LoaderThread: runs one state's load on a POSIX thread with a stack large enough for
// the decoders and the script compiler.
#pragma once

#include "engine/core/SmartPtr.h"
#include "framework/ApplicationState.h"

#include <pthread.h>

#include <atomic>
#include <cstddef>

namespace Quor
{

class LoaderThread
{
public:
    // 8 MiB, the usual main-thread stack: loads may decode images and sounds, parse XML and
    // compile scripts.
    static constexpr std::size_t DEFAULT_STACK_SIZE = std::size_t(8) << 20;
    static constexpr std::size_t MIN_STACK_SIZE = std::size_t(1) << 20;

    explicit LoaderThread(const Tarv::SmartPtr<ApplicationState>& target);
    LoaderThread(const LoaderThread&) = delete;
    LoaderThread& operator=(const LoaderThread&) = delete;
    // Waits for a running thread: the load it started is finished before the target can go.
    ~LoaderThread();

    // Starts the thread. When the thread cannot be created, the load runs here on the calling
    // thread instead and is finished on return; false reports that fallback.
    bool Start();
    // True once the load has ended; everything the load built is visible to the thread that
    // reads true.
    bool IsLoaded() const { return m_loaded.load(std::memory_order_acquire); }
    bool IsStarted() const { return m_started; }
    // Waits for the thread, if one runs. Main thread.
    void Join();

    // The stack size of threads started from now on; values below MIN_STACK_SIZE are raised.
    static void SetStackSize(std::size_t bytes);
    static std::size_t GetStackSize();

private:
    static void* Main(void* self);

    Tarv::SmartPtr<ApplicationState> m_target;
    std::atomic<bool> m_loaded{false};
    pthread_t m_thread{};
    bool m_running = false;
    bool m_started = false;
};

} // namespace Quor

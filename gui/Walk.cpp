// The per-thread pool of walk stacks, one per nesting level.
#include "gui/Walk.h"

#include <cstddef>
#include <memory>

namespace Plim
{

namespace
{

// A screen menu has tens of controls: this covers a wide screen without growing.
constexpr std::size_t INITIAL_CAPACITY = 256;

struct WalkPool {
    std::vector<std::unique_ptr<std::vector<const void*>>> levels;
    std::size_t top = 0;
};

thread_local WalkPool t_pool;

} // namespace

WalkStack::WalkStack()
{
    if (t_pool.top == t_pool.levels.size()) {
        t_pool.levels.push_back(std::make_unique<std::vector<const void*>>());
        t_pool.levels.back()->reserve(INITIAL_CAPACITY);
    }
    m_stack = t_pool.levels[t_pool.top++].get();
    m_stack->clear();
}

WalkStack::~WalkStack()
{
    m_stack->clear();
    --t_pool.top;
}

} // namespace Plim

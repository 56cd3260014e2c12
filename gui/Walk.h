// The one walk over GUI trees: a parent before its children, siblings in document order, each
// followed by its subtree, so the last child drawn is on top and wins a hit test. Walks run on
// explicit stacks reused per nesting level, so a walk allocates nothing once its level has
// grown to the tree's width, and a walk started inside another takes the next level.
#pragma once

#include <vector>

namespace Plim
{

enum class WalkStep {
    CHILDREN, // go on with the node's children (those the filter lets through)
    SKIP,     // leave the node's subtree out
    STOP      // end the walk
};

// The stack of one walk, taken from this thread's pool on construction and given back on
// destruction (each thread has its own pool).
class WalkStack
{
public:
    WalkStack();
    ~WalkStack();
    WalkStack(const WalkStack&) = delete;
    WalkStack& operator=(const WalkStack&) = delete;

    void Push(const void* node) { m_stack->push_back(node); }
    const void* Pop()
    {
        const void* node = m_stack->back();
        m_stack->pop_back();
        return node;
    }
    bool IsEmpty() const { return m_stack->empty(); }

private:
    std::vector<const void*>* m_stack;
};

// Walks from start: visit(node) says how to go on; a child is pushed only when
// pushChild(child) is true.
template <class N, class Visit, class Filter>
void WalkTree(N* start, Visit&& visit, Filter&& pushChild)
{
    if (start == nullptr)
        return;
    WalkStack stack;
    stack.Push(start);
    while (!stack.IsEmpty()) {
        N* node = static_cast<N*>(const_cast<void*>(stack.Pop()));
        const WalkStep step = visit(node);
        if (step == WalkStep::STOP)
            return;
        if (step == WalkStep::SKIP)
            continue;
        const auto& children = node->GetChildren();
        for (auto child = children.rbegin(); child != children.rend(); ++child)
            if (pushChild(*child))
                stack.Push(*child);
    }
}

} // namespace Plim

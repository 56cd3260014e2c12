// Memory figures: heap usage follows allocations.
#include "engine/core/Memory.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool MALLOC_REPLACED = true;
#else
constexpr bool MALLOC_REPLACED = false;
#endif

TEST(GetHeapUsage, GrowsWithSmallAllocations)
{
    if (MALLOC_REPLACED)
        GTEST_SKIP() << "the sanitizer's allocator does not report to mallinfo2";
    const int before = Tarv::GetHeapUsage();
    ASSERT_GE(before, 0);
    // Small blocks come from the heap itself, not from separate mappings.
    std::vector<std::unique_ptr<char[]>> blocks;
    for (int i = 0; i < 4096; ++i)
        blocks.push_back(std::make_unique<char[]>(512));
    EXPECT_GE(Tarv::GetHeapUsage() - before, 4096 * 512);
}

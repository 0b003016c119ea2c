#include "common/PrefaultMemory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>

// The pages are asked for while the writer is already writing them, and
// what the writer wrote stays, in whole pages and in the parts of pages at
// both ends of a span.
TEST(MemoryPrefaulter, LeavesWhatIsWrittenMeanwhile)
{
    constexpr std::size_t Bytes = 48 << 20;
    const std::unique_ptr<std::uint32_t[]> memory(new std::uint32_t[Bytes / 4 + 2]);
    std::uint32_t* const words = memory.get() + 1;
    memory[0] = 0xfeedface;
    memory[Bytes / 4 + 1] = 0xdeadbeef;
    {
        const TMemoryPrefaulter prefaulter({{words, Bytes / 2}, {words + Bytes / 8, Bytes / 2}});
        for (std::size_t i = 0; i < Bytes / 4; ++i)
            words[i] = static_cast<std::uint32_t>(i * 2654435761u);
    }
    EXPECT_EQ(memory[0], 0xfeedfaceu);
    EXPECT_EQ(memory[Bytes / 4 + 1], 0xdeadbeefu);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < Bytes / 4; ++i)
        wrong += words[i] != static_cast<std::uint32_t>(i * 2654435761u);
    EXPECT_EQ(wrong, 0u);
}

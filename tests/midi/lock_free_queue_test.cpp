// The lock-free hand-over between MIDI threads: many producers, one consumer,
// nothing lost, duplicated or reordered. ThreadSanitizer runs these too.

#include "lock_free_queue.h"

#if defined(__linux__)
#include "jack_output.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace {

TEST(LockFreeQueue, EveryValueOfEveryProducerArrivesOnceAndInItsOrder) {
    constexpr std::uint32_t Producers = 4;
    constexpr std::uint32_t Each = 20000;
    LockFreeQueue<std::uint32_t, 64> queue; // small: producers often find it full
    std::vector<std::thread> producers;
    for (std::uint32_t producer = 0; producer < Producers; ++producer)
        producers.emplace_back([&queue, producer] {
            for (std::uint32_t n = 0; n < Each; ++n)
                while (!queue.TryPush(producer << 24 | n))
                    std::this_thread::yield();
        });
    std::vector<std::uint32_t> next(Producers, 0);
    for (std::uint32_t popped = 0; popped < Producers * Each;) {
        const auto value = queue.TryPop();
        if (!value) {
            std::this_thread::yield();
            continue;
        }
        const std::uint32_t producer = *value >> 24;
        ASSERT_LT(producer, Producers);
        ASSERT_EQ(*value & 0xFFFFFF, next[producer]) << "producer " << producer;
        ++next[producer];
        ++popped;
    }
    for (auto& thread : producers)
        thread.join();
    EXPECT_FALSE(queue.TryPop());
}

TEST(ByteRing, BytesArriveInOrderAcrossTheWrapAndNeverOverrun) {
    constexpr std::size_t Total = 200000;
    ByteRing<256> ring;
    std::thread writer([&ring] {
        std::uint8_t chunk[100];
        for (std::size_t sent = 0, size = 1; sent < Total; size = size % 97 + 1) {
            const std::size_t count = std::min({size, ring.WriteSpace(), Total - sent});
            for (std::size_t i = 0; i < count; ++i)
                chunk[i] = static_cast<std::uint8_t>((sent + i) * 7);
            ring.Write(chunk, count);
            sent += count;
            if (count == 0)
                std::this_thread::yield();
        }
    });
    std::uint8_t chunk[256];
    for (std::size_t received = 0; received < Total;) {
        const std::size_t count = ring.ReadSpace();
        ASSERT_LE(count, 256u);
        ring.Read(chunk, count);
        for (std::size_t i = 0; i < count; ++i)
            ASSERT_EQ(chunk[i], static_cast<std::uint8_t>((received + i) * 7)) << received + i;
        received += count;
    }
    writer.join();
}

#if defined(__linux__)
TEST(JackOutput, ACycleCarriesHalfThePortAndAProgramDumpWhereThePortHoldsIt) {
    struct Case {
        std::size_t portBuffer;
        std::uint32_t frames;
        std::size_t bytes;
    };
    for (const Case& c : {Case{32768, 64, 512}, Case{32768, 256, 512}, Case{32768, 1024, 2048},
                          Case{32768, 16384, 16384}, Case{256, 64, 128}, Case{0, 64, 512}})
        EXPECT_EQ(JackOutput::BytesPerCycle(c.portBuffer, c.frames), c.bytes)
            << c.portBuffer << " bytes, " << c.frames << " frames";
}
#endif

} // namespace

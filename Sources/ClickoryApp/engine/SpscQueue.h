// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <type_traits>

namespace clickory {

// A bounded lock-free queue between exactly one producer thread and exactly one consumer thread.
// Neither side locks, allocates or makes a system call, so the consumer may be the audio thread.
// N must be a power of two; the indices run freely and are masked on access.
template <typename T, std::size_t N>
class SpscQueue
{
    static_assert(std::is_trivially_copyable_v<T>, "items are copied with plain assignment");
    static_assert(N > 0 && (N & (N - 1)) == 0, "N must be a power of two");

public:
    // Thread: producer only. False when the queue is full; the item is then not queued.
    bool push(const T& item)
    {
        const std::size_t w = m_write.load(std::memory_order_relaxed);
        // Acquire: the consumer has finished reading the slot we are about to overwrite.
        if (w - m_read.load(std::memory_order_acquire) == N)
            return false;
        m_slots[w & (N - 1)] = item;
        // Release: the slot's contents become visible before the new write index.
        m_write.store(w + 1, std::memory_order_release);
        return true;
    }

    // Thread: consumer only. RT-safe. False when the queue is empty.
    bool pop(T& out)
    {
        const std::size_t r = m_read.load(std::memory_order_relaxed);
        // Acquire: pairs with the producer's release, so the slot is fully written.
        if (r == m_write.load(std::memory_order_acquire))
            return false;
        out = m_slots[r & (N - 1)];
        // Release: the slot may be reused only after we copied it out.
        m_read.store(r + 1, std::memory_order_release);
        return true;
    }

    // Any thread; exact only when the other side is idle.
    std::size_t size() const
    {
        return m_write.load(std::memory_order_acquire) - m_read.load(std::memory_order_acquire);
    }

    static constexpr std::size_t capacity() { return N; }

private:
    alignas(64) std::atomic<std::size_t> m_write{0};
    alignas(64) std::atomic<std::size_t> m_read{0};
    alignas(64) std::array<T, N> m_slots{};
};

} // namespace clickory

#pragma once

#include <array>
#include <atomic>
#include <cstdint>

/** The editor's parameter changes on their way to the host: the editor's
    thread pushes, and the call that hands events to the host (process on the
    audio thread, or flush) pops. One pusher and one popper at a time, as
    CLAP's threading gives them; no lock, no allocation. When the host falls
    this far behind, further edits still reach the filter, only the host does
    not hear of them. */
class ClapEditQueue
{
public:
    struct Edit
    {
        uint32_t index;
        float value;
    };

    ClapEditQueue() = default;
    ClapEditQueue (const ClapEditQueue&) = delete;
    ClapEditQueue& operator= (const ClapEditQueue&) = delete;

    /** False when the queue is full. */
    bool push (Edit edit) noexcept
    {
        const auto w = written.load (std::memory_order_relaxed);
        if (w - read.load (std::memory_order_acquire) == capacity)
            return false;
        slots[w % capacity] = edit;
        written.store (w + 1, std::memory_order_release);
        return true;
    }

    /** False when the queue is empty. */
    bool pop (Edit& edit) noexcept
    {
        const auto r = read.load (std::memory_order_relaxed);
        if (r == written.load (std::memory_order_acquire))
            return false;
        edit = slots[r % capacity];
        read.store (r + 1, std::memory_order_release);
        return true;
    }

private:
    static constexpr uint32_t capacity = 256;
    std::array<Edit, capacity> slots {};
    std::atomic<uint32_t> written { 0 }, read { 0 };
};

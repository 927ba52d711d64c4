#pragma once

#include <cstdint>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

/** The processor's floating-point control register (the MXCSR on x86, the
    FPCR on 64-bit ARM) and the bits in it that flush denormals to zero: FTZ
    and DAZ on x86, FZ on ARM, the bits JUCE's wrappers set around a block.
    Elsewhere there is nothing to read and no bit to clear. */
namespace FloatControl
{
#if defined(__SSE__)
constexpr uint64_t flushToZeroBits = 0x8040;
inline uint64_t read() noexcept { return _mm_getcsr(); }
inline void write (uint64_t value) noexcept { _mm_setcsr ((unsigned int) value); }
#elif defined(__aarch64__)
constexpr uint64_t flushToZeroBits = uint64_t { 1 } << 24;
inline uint64_t read() noexcept
{
    uint64_t value;
    asm volatile("mrs %0, fpcr" : "=r"(value));
    return value;
}
inline void write (uint64_t value) noexcept { asm volatile("msr fpcr, %0" : : "r"(value)); }
#else
constexpr uint64_t flushToZeroBits = 0;
inline uint64_t read() noexcept { return 0; }
inline void write (uint64_t) noexcept {}
#endif
} // namespace FloatControl

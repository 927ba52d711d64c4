#pragma once

// Two floats stepped together: the left channel in lane 0, the right in
// lane 1. Every operation is the single-precision IEEE operation the scalar
// code does, lane by lane, so a stage written on this type gives the bits of
// the same stage run once per channel. On x86-64 the lanes are the low two
// of an SSE2 register (the other two stay 0); on 64-bit ARM they are a NEON
// register of two floats (four for xLanes4), whose arithmetic is IEEE in
// every lane, denormals included, just like the scalar unit's; elsewhere,
// or with LUMIDOR_NO_SIMD defined to 1, they are two plain floats. Nothing
// approximate is used, no multiply is fused into an add, and the rounding
// and denormal modes are whatever the scalar code runs under.
#if defined(__SSE2__) && ! (defined(LUMIDOR_NO_SIMD) && LUMIDOR_NO_SIMD)
#define LUMIDOR_LANES_SSE2 1
#include <emmintrin.h>
#else
#define LUMIDOR_LANES_SSE2 0
#endif

#if defined(__aarch64__) && defined(__ARM_NEON) && ! (defined(LUMIDOR_NO_SIMD) && LUMIDOR_NO_SIMD)
#define LUMIDOR_LANES_NEON 1
#include <arm_neon.h>
#else
#define LUMIDOR_LANES_NEON 0
#endif

#if LUMIDOR_LANES_SSE2

struct xLanes2
{
    __m128 v;

    xLanes2() noexcept
        : v (_mm_setzero_ps())
    {
    }
    explicit xLanes2 (__m128 x) noexcept
        : v (x)
    {
    }
    xLanes2 (float left, float right) noexcept
        : v (_mm_unpacklo_ps (_mm_set_ss (left), _mm_set_ss (right)))
    {
    }

    float left() const noexcept { return _mm_cvtss_f32 (v); }
    float right() const noexcept { return _mm_cvtss_f32 (_mm_shuffle_ps (v, v, _MM_SHUFFLE (1, 1, 1, 1))); }

    /** (float) ((double) x + offset) in each lane. */
    xLanes2 plusDouble (double offset) const noexcept
    {
        return xLanes2 (_mm_cvtpd_ps (_mm_add_pd (_mm_cvtps_pd (v), _mm_set1_pd (offset))));
    }
};

/** Four neighbouring floats of two buffers, lane by lane: t[k] holds left[k]
    and right[k]. */
inline void loadLanes4 (const float* left, const float* right, xLanes2 (&t)[4]) noexcept
{
    const __m128 l = _mm_loadu_ps (left);
    const __m128 r = _mm_loadu_ps (right);
    const __m128 low = _mm_unpacklo_ps (l, r);  // l0 r0 l1 r1
    const __m128 high = _mm_unpackhi_ps (l, r); // l2 r2 l3 r3
    t[0] = xLanes2 (low);
    t[1] = xLanes2 (_mm_movehl_ps (low, low));
    t[2] = xLanes2 (high);
    t[3] = xLanes2 (_mm_movehl_ps (high, high));
}

inline xLanes2 operator+ (xLanes2 a, xLanes2 b) noexcept { return xLanes2 (_mm_add_ps (a.v, b.v)); }
inline xLanes2 operator- (xLanes2 a, xLanes2 b) noexcept { return xLanes2 (_mm_sub_ps (a.v, b.v)); }
inline xLanes2 operator* (xLanes2 a, xLanes2 b) noexcept { return xLanes2 (_mm_mul_ps (a.v, b.v)); }
inline xLanes2 operator* (xLanes2 a, float b) noexcept { return xLanes2 (_mm_mul_ps (a.v, _mm_set1_ps (b))); }
inline xLanes2 operator* (float a, xLanes2 b) noexcept { return xLanes2 (_mm_mul_ps (_mm_set1_ps (a), b.v)); }

/** Two stereo pairs side by side: the two lanes of one xLanes2 in
    lanes 0 and 1, those of another in lanes 2 and 3. Used where two
    stereo stages that do not depend on each other run in one register. */
struct xLanes4
{
    __m128 v;

    xLanes4() noexcept
        : v (_mm_setzero_ps())
    {
    }
    explicit xLanes4 (__m128 x) noexcept
        : v (x)
    {
    }
    xLanes4 (xLanes2 low, xLanes2 high) noexcept
        : v (_mm_movelh_ps (low.v, high.v))
    {
    }
    xLanes4 (float l0, float r0, float l1, float r1) noexcept
        : xLanes4 (xLanes2 (l0, r0), xLanes2 (l1, r1))
    {
    }

    /** Lanes 0 and 1 (the unused upper lanes of the result are 0). */
    xLanes2 low() const noexcept { return xLanes2 (_mm_movelh_ps (v, _mm_setzero_ps())); }
    /** Lanes 2 and 3 (the unused upper lanes of the result are 0). */
    xLanes2 high() const noexcept { return xLanes2 (_mm_movehl_ps (_mm_setzero_ps(), v)); }

    /** (float) ((double) x + offset) in each lane. */
    xLanes4 plusDouble (double offset) const noexcept
    {
        const __m128d o = _mm_set1_pd (offset);
        const __m128 lowSum = _mm_cvtpd_ps (_mm_add_pd (_mm_cvtps_pd (v), o));
        const __m128 highSum = _mm_cvtpd_ps (_mm_add_pd (_mm_cvtps_pd (_mm_movehl_ps (v, v)), o));
        return xLanes4 (_mm_movelh_ps (lowSum, highSum));
    }
};

inline xLanes4 operator+ (xLanes4 a, xLanes4 b) noexcept { return xLanes4 (_mm_add_ps (a.v, b.v)); }
inline xLanes4 operator- (xLanes4 a, xLanes4 b) noexcept { return xLanes4 (_mm_sub_ps (a.v, b.v)); }
inline xLanes4 operator* (xLanes4 a, xLanes4 b) noexcept { return xLanes4 (_mm_mul_ps (a.v, b.v)); }
inline xLanes4 operator* (xLanes4 a, float b) noexcept { return xLanes4 (_mm_mul_ps (a.v, _mm_set1_ps (b))); }

/** Four neighbouring floats of four buffers, lane by lane: t[k] holds
    b0[k], b1[k], b2[k] and b3[k]. */
inline void loadLanes4 (const float* b0, const float* b1, const float* b2, const float* b3, xLanes4 (&t)[4]) noexcept
{
    __m128 r0 = _mm_loadu_ps (b0), r1 = _mm_loadu_ps (b1), r2 = _mm_loadu_ps (b2), r3 = _mm_loadu_ps (b3);
    _MM_TRANSPOSE4_PS (r0, r1, r2, r3);
    t[0] = xLanes4 (r0);
    t[1] = xLanes4 (r1);
    t[2] = xLanes4 (r2);
    t[3] = xLanes4 (r3);
}

#elif LUMIDOR_LANES_NEON

struct xLanes2
{
    float32x2_t v;

    xLanes2() noexcept
        : v (vdup_n_f32 (0.0f))
    {
    }
    explicit xLanes2 (float32x2_t x) noexcept
        : v (x)
    {
    }
    xLanes2 (float left, float right) noexcept
        : v (vset_lane_f32 (right, vdup_n_f32 (left), 1))
    {
    }

    float left() const noexcept { return vget_lane_f32 (v, 0); }
    float right() const noexcept { return vget_lane_f32 (v, 1); }

    /** (float) ((double) x + offset) in each lane. */
    xLanes2 plusDouble (double offset) const noexcept
    {
        return xLanes2 (vcvt_f32_f64 (vaddq_f64 (vcvt_f64_f32 (v), vdupq_n_f64 (offset))));
    }
};

/** Four neighbouring floats of two buffers, lane by lane: t[k] holds left[k]
    and right[k]. */
inline void loadLanes4 (const float* left, const float* right, xLanes2 (&t)[4]) noexcept
{
    const float32x4_t l = vld1q_f32 (left);
    const float32x4_t r = vld1q_f32 (right);
    const float32x4_t low = vzip1q_f32 (l, r);  // l0 r0 l1 r1
    const float32x4_t high = vzip2q_f32 (l, r); // l2 r2 l3 r3
    t[0] = xLanes2 (vget_low_f32 (low));
    t[1] = xLanes2 (vget_high_f32 (low));
    t[2] = xLanes2 (vget_low_f32 (high));
    t[3] = xLanes2 (vget_high_f32 (high));
}

inline xLanes2 operator+ (xLanes2 a, xLanes2 b) noexcept { return xLanes2 (vadd_f32 (a.v, b.v)); }
inline xLanes2 operator- (xLanes2 a, xLanes2 b) noexcept { return xLanes2 (vsub_f32 (a.v, b.v)); }
inline xLanes2 operator* (xLanes2 a, xLanes2 b) noexcept { return xLanes2 (vmul_f32 (a.v, b.v)); }
inline xLanes2 operator* (xLanes2 a, float b) noexcept { return xLanes2 (vmul_n_f32 (a.v, b)); }
inline xLanes2 operator* (float a, xLanes2 b) noexcept { return xLanes2 (vmul_n_f32 (b.v, a)); }

/** Two stereo pairs side by side: the two lanes of one xLanes2 in
    lanes 0 and 1, those of another in lanes 2 and 3. Used where two
    stereo stages that do not depend on each other run in one register. */
struct xLanes4
{
    float32x4_t v;

    xLanes4() noexcept
        : v (vdupq_n_f32 (0.0f))
    {
    }
    explicit xLanes4 (float32x4_t x) noexcept
        : v (x)
    {
    }
    xLanes4 (xLanes2 low, xLanes2 high) noexcept
        : v (vcombine_f32 (low.v, high.v))
    {
    }
    xLanes4 (float l0, float r0, float l1, float r1) noexcept
        : xLanes4 (xLanes2 (l0, r0), xLanes2 (l1, r1))
    {
    }

    xLanes2 low() const noexcept { return xLanes2 (vget_low_f32 (v)); }
    xLanes2 high() const noexcept { return xLanes2 (vget_high_f32 (v)); }

    /** (float) ((double) x + offset) in each lane. */
    xLanes4 plusDouble (double offset) const noexcept
    {
        const float64x2_t o = vdupq_n_f64 (offset);
        const float32x2_t lowSum = vcvt_f32_f64 (vaddq_f64 (vcvt_f64_f32 (vget_low_f32 (v)), o));
        return xLanes4 (vcvt_high_f32_f64 (lowSum, vaddq_f64 (vcvt_high_f64_f32 (v), o)));
    }
};

inline xLanes4 operator+ (xLanes4 a, xLanes4 b) noexcept { return xLanes4 (vaddq_f32 (a.v, b.v)); }
inline xLanes4 operator- (xLanes4 a, xLanes4 b) noexcept { return xLanes4 (vsubq_f32 (a.v, b.v)); }
inline xLanes4 operator* (xLanes4 a, xLanes4 b) noexcept { return xLanes4 (vmulq_f32 (a.v, b.v)); }
inline xLanes4 operator* (xLanes4 a, float b) noexcept { return xLanes4 (vmulq_n_f32 (a.v, b)); }

/** Four neighbouring floats of four buffers, lane by lane: t[k] holds
    b0[k], b1[k], b2[k] and b3[k]. */
inline void loadLanes4 (const float* b0, const float* b1, const float* b2, const float* b3, xLanes4 (&t)[4]) noexcept
{
    const float32x4_t r0 = vld1q_f32 (b0), r1 = vld1q_f32 (b1), r2 = vld1q_f32 (b2), r3 = vld1q_f32 (b3);
    const float32x4_t ab01 = vzip1q_f32 (r0, r1), ab23 = vzip2q_f32 (r0, r1); // a0 b0 a1 b1, a2 b2 a3 b3
    const float32x4_t cd01 = vzip1q_f32 (r2, r3), cd23 = vzip2q_f32 (r2, r3);
    t[0] = xLanes4 (vcombine_f32 (vget_low_f32 (ab01), vget_low_f32 (cd01)));
    t[1] = xLanes4 (vcombine_f32 (vget_high_f32 (ab01), vget_high_f32 (cd01)));
    t[2] = xLanes4 (vcombine_f32 (vget_low_f32 (ab23), vget_low_f32 (cd23)));
    t[3] = xLanes4 (vcombine_f32 (vget_high_f32 (ab23), vget_high_f32 (cd23)));
}

#else

struct xLanes2
{
    float l = 0.0f;
    float r = 0.0f;

    xLanes2() noexcept = default;
    xLanes2 (float left, float right) noexcept
        : l (left)
        , r (right)
    {
    }

    float left() const noexcept { return l; }
    float right() const noexcept { return r; }

    /** (float) ((double) x + offset) in each lane. */
    xLanes2 plusDouble (double offset) const noexcept
    {
        return { (float) ((double) l + offset), (float) ((double) r + offset) };
    }
};

/** Four neighbouring floats of two buffers, lane by lane: t[k] holds left[k]
    and right[k]. */
inline void loadLanes4 (const float* left, const float* right, xLanes2 (&t)[4]) noexcept
{
    for (int k = 0; k < 4; ++k)
        t[k] = { left[k], right[k] };
}

inline xLanes2 operator+ (xLanes2 a, xLanes2 b) noexcept { return { a.l + b.l, a.r + b.r }; }
inline xLanes2 operator- (xLanes2 a, xLanes2 b) noexcept { return { a.l - b.l, a.r - b.r }; }
inline xLanes2 operator* (xLanes2 a, xLanes2 b) noexcept { return { a.l * b.l, a.r * b.r }; }
inline xLanes2 operator* (xLanes2 a, float b) noexcept { return { a.l * b, a.r * b }; }
inline xLanes2 operator* (float a, xLanes2 b) noexcept { return { a * b.l, a * b.r }; }

/** Two stereo pairs side by side: the two lanes of one xLanes2 in
    lanes 0 and 1, those of another in lanes 2 and 3. Used where two
    stereo stages that do not depend on each other run in one register. */
struct xLanes4
{
    xLanes2 lo;
    xLanes2 hi;

    xLanes4() noexcept = default;
    xLanes4 (xLanes2 low, xLanes2 high) noexcept
        : lo (low)
        , hi (high)
    {
    }
    xLanes4 (float l0, float r0, float l1, float r1) noexcept
        : lo (l0, r0)
        , hi (l1, r1)
    {
    }

    xLanes2 low() const noexcept { return lo; }
    xLanes2 high() const noexcept { return hi; }

    /** (float) ((double) x + offset) in each lane. */
    xLanes4 plusDouble (double offset) const noexcept { return { lo.plusDouble (offset), hi.plusDouble (offset) }; }
};

inline xLanes4 operator+ (xLanes4 a, xLanes4 b) noexcept { return { a.lo + b.lo, a.hi + b.hi }; }
inline xLanes4 operator- (xLanes4 a, xLanes4 b) noexcept { return { a.lo - b.lo, a.hi - b.hi }; }
inline xLanes4 operator* (xLanes4 a, xLanes4 b) noexcept { return { a.lo * b.lo, a.hi * b.hi }; }
inline xLanes4 operator* (xLanes4 a, float b) noexcept { return { a.lo * b, a.hi * b }; }

/** Four neighbouring floats of four buffers, lane by lane: t[k] holds
    b0[k], b1[k], b2[k] and b3[k]. */
inline void loadLanes4 (const float* b0, const float* b1, const float* b2, const float* b3, xLanes4 (&t)[4]) noexcept
{
    for (int k = 0; k < 4; ++k)
        t[k] = { b0[k], b1[k], b2[k], b3[k] };
}

#endif

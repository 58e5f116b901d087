// The scalar and SSE2 kernels; AVX2's are in kernels_avx2.cpp, compiled for it.
#include "tree/kernels.hpp"

#include <cassert>

#include "isa/isa.hpp"
#include "tree/kernel_body.hpp"
#ifdef MST_VECTOR_KERNELS
#include "isa/sse2.hpp"
const TreeKernels& avx2Tree();
#endif

namespace {

// One lane: plain integers, a compare giving -1 or 0.
struct Scalar {
    using V = std::int32_t;
    static constexpr std::int32_t lanes = 1;
    static V set(std::int32_t a) { return a; }
    static V ramp(std::int32_t a) { return a; }
    static V load(const std::int32_t* p) { return *p; }
    static void store(std::int32_t* p, V a) { *p = a; }
    static V add(V a, V b) { return a + b; }
    static V sub(V a, V b) { return a - b; }
    static V gt(V a, V b) { return -static_cast<V>(a > b); }
    static V eq(V a, V b) { return -static_cast<V>(a == b); }
    static V min(V a, V b) { return a < b ? a : b; }
    static V bitAnd(V a, V b) { return a & b; }
    static V bitOr(V a, V b) { return a | b; }
    static V blend(V a, V b, V m) { return (a & ~m) | (b & m); }
    static std::uint32_t mask(V m) { return static_cast<std::uint32_t>(m) & 1u; }
};

}  // namespace

const TreeKernels& treeKernels([[maybe_unused]] Isa isa)
{
    assert(hasIsa(isa));
    static constexpr TreeKernels scalar{offerBody<Scalar>, takenRowBody<Scalar>};
#ifdef MST_VECTOR_KERNELS
    static constexpr TreeKernels sse2{offerBody<Sse2>, takenRowBody<Sse2>};
    return isa == Isa::avx2 ? avx2Tree() : isa == Isa::sse2 ? sse2 : scalar;
#else
    return scalar;
#endif
}

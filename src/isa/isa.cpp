#include "isa/isa.hpp"

#include "dialogue/reader/input_blocks.hpp"
#include "tree/kernels.hpp"

namespace {

// What a way runs, and whether this processor can run it. A way with no
// block kernel reads the numbers one at a time.
struct Way {
    Isa isa;
    bool (*runs)();
    BlockTaker takeBlock;
    const TreeKernels& tree;
};

bool always()
{
    return true;
}

#ifdef MST_VECTOR_KERNELS
// The AVX2 files are compiled for POPCNT too.
bool haveAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
}
#endif

// Slowest first. Every x86-64 processor has SSE2.
constexpr Way ways[] = {
    {Isa::scalar, always, nullptr, scalarTree},
#ifdef MST_VECTOR_KERNELS
    {Isa::sse2, always, takeSse2, sse2Tree},
    {Isa::avx2, haveAvx2, takeAvx2, avx2Tree},
#endif
};

}  // namespace

std::vector<Isa> isas()
{
    std::vector<Isa> found;
    for (const Way& w : ways)
        if (w.runs())
            found.push_back(w.isa);
    return found;
}

void useIsa(Isa isa)
{
    for (const Way& w : ways)
        if (w.isa == isa) {
            blockTaker = w.takeBlock;
            offerRow = w.tree.offer;
            takenBits = w.tree.taken;
        }
}

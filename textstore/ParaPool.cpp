// The paragraph pool: size classes with free lists over blocks mapped from the system in growing
// sizes, so that a large document costs no allocator bookkeeping per paragraph and closing it
// unmaps a few blocks instead of freeing every paragraph.
#include "ParaPool.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#if defined(__unix__)
#include <sys/mman.h>
#endif

namespace {

constexpr std::size_t FirstBlock = std::size_t(64) << 10;
constexpr std::size_t LargestBlock = std::size_t(8) << 20;
constexpr std::size_t FaultStep = std::size_t(1) << 20;

void* MapBlock(std::size_t Size) {
#if defined(__unix__)
    void* P = ::mmap(nullptr, Size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return P == MAP_FAILED ? nullptr : P;
#else
    return std::malloc(Size);
#endif
}

void UnmapBlock(void* P, std::size_t Size) {
#if defined(__unix__)
    ::munmap(P, Size);
#else
    (void)Size;
    std::free(P);
#endif
}

} // namespace

TParaPool::~TParaPool() {
#if defined(ZX_PARA_POOL_CHECKED)
    for (void* P : FLive)
        std::free(P);
#endif
    for (const TBlock& B : FBlocks)
        UnmapBlock(B.Base, B.Size);
}

int TParaPool::ClassOf(std::size_t Size, std::size_t& Rounded) {
    if (Size <= SmallLimit) {
        Rounded = (Size + 7) & ~std::size_t(7);
        return int(Rounded / 8);
    }
    // Eight steps between a power of two and the next.
    const std::size_t Floor = std::bit_floor(Size - 1);
    const std::size_t Step = Floor / 8;
    const std::size_t K = (Size + Step - 1) / Step; // 9..16
    Rounded = K * Step;
    return int(SmallLimit / 8) + (std::countr_zero(Floor) - 10) * 8 + int(K - 8);
}

bool TParaPool::NewBlock(std::size_t AtLeast) {
    std::size_t Size =
        FBlocks.empty() ? FirstBlock : std::min(FBlocks.back().Size * 2, LargestBlock);
    Size = std::max(Size, AtLeast);
    void* P = MapBlock(Size);
    if (!P) return false;
    FBlocks.push_back({P, Size});
    FReserved += Size;
    FNext = static_cast<char*>(P);
    FEnd = FNext + Size;
    FFaulted = FNext;
    return true;
}

void TParaPool::FaultAhead() {
#if defined(__unix__) && defined(MADV_POPULATE_WRITE)
    // One call faults in a megabyte instead of a trap per page; where the kernel cannot, the
    // pages fault in one by one as before.
    const std::size_t Ahead = std::min<std::size_t>(FaultStep, std::size_t(FEnd - FFaulted));
    if (::madvise(FFaulted, Ahead, MADV_POPULATE_WRITE) != 0) {
        FFaulted = FEnd;
        return;
    }
    FFaulted += Ahead;
#else
    FFaulted = FEnd;
#endif
}

void* TParaPool::AllocateMore(std::size_t Size) {
    if (Size == 0 || Size > MaxSize) return nullptr;
#if defined(ZX_PARA_POOL_CHECKED)
    void* Checked = std::malloc(Size);
    if (Checked) FLive.insert(Checked);
    return Checked;
#else
    std::size_t Rounded;
    const int C = ClassOf(Size, Rounded);
    if (TFree* F = FFree[std::size_t(C)]) {
        FFree[std::size_t(C)] = F->Next;
        return F;
    }
    if (std::size_t(FEnd - FNext) < Rounded && !NewBlock(Rounded)) return nullptr;
    void* P = FNext;
    FNext += Rounded;
    while (FNext > FFaulted)
        FaultAhead();
    return P;
#endif
}

void TParaPool::Release(void* P, std::size_t Size) {
    if (!P) return;
#if defined(ZX_PARA_POOL_CHECKED)
    (void)Size;
    FLive.erase(P);
    std::free(P);
#else
    std::size_t Rounded;
    const int C = ClassOf(Size, Rounded);
    auto* F = static_cast<TFree*>(P);
    F->Next = FFree[std::size_t(C)];
    FFree[std::size_t(C)] = F;
#endif
}

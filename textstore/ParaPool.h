// Storage for the paragraphs of one document: nodes, texts and line tables carved from large
// blocks, recycled by size, and all handed back at once when the document goes.
#pragma once

#include <array>
#include <cstddef>
#include <unordered_set>
#include <vector>

// Under the address sanitizer every allocation is a heap block of its own, so that overruns and
// uses after release are caught.
#if defined(__SANITIZE_ADDRESS__)
#define ZX_PARA_POOL_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZX_PARA_POOL_CHECKED 1
#endif
#endif

class TParaPool {
public:
    TParaPool() = default;
    // Releases every block. Whatever was allocated and not released is gone with them: the
    // owner must not use or destroy it afterwards.
    ~TParaPool();
    TParaPool(const TParaPool&) = delete;
    TParaPool& operator=(const TParaPool&) = delete;

    // Size bytes aligned to 8 (null when no memory is left). Size must be 1..MaxSize.
    void* Allocate(std::size_t Size) {
#if !defined(ZX_PARA_POOL_CHECKED)
        // A small piece from its free list or from pages already faulted in, without a call:
        // loading asks for two per line.
        if (Size - 1 < SmallLimit) {
            const std::size_t Rounded = (Size + 7) & ~std::size_t(7);
            TFree*& Head = FFree[Rounded / 8];
            if (TFree* F = Head) {
                Head = F->Next;
                return F;
            }
            if (std::size_t(FFaulted - FNext) >= Rounded) {
                void* P = FNext;
                FNext += Rounded;
                return P;
            }
        }
#endif
        return AllocateMore(Size);
    }
    // Gives back what Allocate(Size) returned, with the same Size; null is ignored.
    void Release(void* P, std::size_t Size);

    // The largest request: a paragraph's text with its line table never needs more.
    static constexpr std::size_t MaxSize = std::size_t(1) << 18;

    // Bytes taken from the system for blocks.
    std::size_t Reserved() const {
        return FReserved;
    }

private:
    struct TBlock {
        void* Base;
        std::size_t Size;
    };
    struct TFree {
        TFree* Next;
    };

    // Size classes: 8-byte steps up to 1 KiB, then eight steps per doubling up to MaxSize.
    static constexpr std::size_t SmallLimit = 1024;
    static constexpr int ClassCount = 1 + SmallLimit / 8 + 8 * 8;
    static int ClassOf(std::size_t Size, std::size_t& Rounded);

    // Allocate's way when the inline one does not serve.
    void* AllocateMore(std::size_t Size);
    bool NewBlock(std::size_t AtLeast);
    // Faults the newest block's pages in ahead of the bump pointer, many at a time.
    void FaultAhead();

    [[maybe_unused]] std::array<TFree*, ClassCount> FFree{}; // (unused when checked)
    char* FNext = nullptr;                                   // the unused rest of the newest block
    char* FEnd = nullptr;
    char* FFaulted = nullptr; // the newest block is faulted in up to here
    std::vector<TBlock> FBlocks;
    std::size_t FReserved = 0;
#if defined(ZX_PARA_POOL_CHECKED)
    std::unordered_set<void*> FLive;
#endif
};

// Tests of the paragraph pool: sizes, alignment, no overlap, reuse, and nodes kept in a pool.
#include "ParaPool.h"
#include "ParaNode.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct TPiece {
    unsigned char* P;
    std::size_t Size;
    unsigned char Fill;
};

} // namespace

TEST(ParaPool, PiecesOfEverySizeAreAlignedAndNeverOverlap) {
    TParaPool Pool;
    std::vector<TPiece> Pieces;
    auto Take = [&](std::size_t Size) {
        auto* P = static_cast<unsigned char*>(Pool.Allocate(Size));
        ASSERT_NE(P, nullptr) << Size;
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(P) % 8, 0u) << Size;
        const auto Fill = static_cast<unsigned char>(Pieces.size() * 31 + 7);
        std::memset(P, Fill, Size);
        Pieces.push_back({P, Size, Fill});
    };
    for (std::size_t Size = 1; Size <= 2100; ++Size)
        Take(Size);
    // Around every step of the larger sizes, up to the largest.
    for (std::size_t Size = 2048; Size <= TParaPool::MaxSize; Size += Size / 16) {
        Take(Size - 1);
        Take(Size);
        Take(Size + 1 <= TParaPool::MaxSize ? Size + 1 : Size);
    }
    Take(TParaPool::MaxSize);
    for (const TPiece& T : Pieces)
        for (std::size_t I = 0; I < T.Size; ++I)
            ASSERT_EQ(T.P[I], T.Fill) << "piece of " << T.Size << " bytes overwritten at " << I;
}

TEST(ParaPool, RefusesNothingAndTooMuch) {
    TParaPool Pool;
    EXPECT_EQ(Pool.Allocate(0), nullptr);
    EXPECT_EQ(Pool.Allocate(TParaPool::MaxSize + 1), nullptr);
    Pool.Release(nullptr, 16); // ignored
}

TEST(ParaPool, ReleasedStorageIsUsedAgain) {
    TParaPool Pool;
    void* A = Pool.Allocate(40);
    void* B = Pool.Allocate(300);
    ASSERT_NE(A, nullptr);
    ASSERT_NE(B, nullptr);
    const std::size_t Reserved = Pool.Reserved();
    for (int I = 0; I < 100000; ++I) {
        Pool.Release(B, 300);
        B = Pool.Allocate(300);
        ASSERT_NE(B, nullptr);
    }
    EXPECT_EQ(Pool.Reserved(), Reserved);
    Pool.Release(A, 40);
    Pool.Release(B, 300);
}

TEST(ParaPool, NodesGiveTheirTextAndLineTableBackWhenDestroyed) {
    TParaPool Pool;
    const std::string Long(3000, 'w');
    std::size_t Reserved = 0;
    for (int Round = 0; Round < 2000; ++Round) {
        TParaNode* N = TParaNode::Create(Pool, "abc def", 7, 10, 8);
        int32_t F, L;
        // Growth moves the text out of the node and gives the wrapped text a line table.
        ASSERT_EQ(N->InsertText(Long.data(), 3000, 4, 10, 8, F, L, &Pool), erOK);
        EXPECT_EQ(N->Length(), 3007);
        EXPECT_GT(N->LineCount(), 100);
        EXPECT_EQ(std::string(N->Text(), 3), "abc");
        TParaNode::Destroy(N, Pool);
        if (Round == 0) Reserved = Pool.Reserved();
    }
    EXPECT_EQ(Pool.Reserved(), Reserved);
}

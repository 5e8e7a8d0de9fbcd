// Feeds arbitrary text to the reader of the stored table list: malformed text must leave the
// tables alone, and accepted text must write back in a form that reads to the same thing.
#include "CommandProcessor.h"
#include "FuzzCheck.h"
#include "KroExceptions.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string Text(reinterpret_cast<const char*>(Data), Size);

    // The bare reader: what it accepts, the writer reproduces exactly.
    bool Parsed = true;
    try {
        const std::vector<TKroStoredTable> Groups = ParseTableList(Text);
        const std::string Written = FormatTableList(Groups);
        FUZZ_CHECK(ParseTableList(Written) == Groups);
    } catch (const ECmdProcessorError&) {
        Parsed = false;
    }

    TKroCommandProcessor Processor;
    const std::string Before = Processor.TableListText();
    try {
        Processor.SetTableListText(Text);
        FUZZ_CHECK(Parsed);
    } catch (const ECmdProcessorError&) {
        FUZZ_CHECK(!Parsed);
        FUZZ_CHECK(Processor.TableListText() == Before);
        FUZZ_CHECK(Processor.Count() == 3);
        return 0;
    }

    // Writing what was read and reading it again gives the same tables: names, flags and the
    // same entries. A table named like a built-in one is stored as its differences, which keep
    // what each key does but not where a moved entry stood, so entries compare as sets.
    const std::string First = Processor.TableListText();
    TKroCommandProcessor Second;
    Second.SetTableListText(First);
    FUZZ_CHECK(Second.Count() == Processor.Count());
    auto Sorted = [](const TKroCommandTable& T) {
        std::vector<std::pair<std::int32_t, TKroCommand>> E;
        for (const TKroCommandEntry& X : T.Entries())
            E.emplace_back(KeyValue(X), X.Command);
        std::sort(E.begin(), E.end());
        return E;
    };
    for (int I = 0; I < Processor.Count(); ++I) {
        FUZZ_CHECK(Second.Tables(I).TableName() == Processor.Tables(I).TableName());
        FUZZ_CHECK(Second.Tables(I).Active() == Processor.Tables(I).Active());
        FUZZ_CHECK(Sorted(Second.Tables(I)) == Sorted(Processor.Tables(I)));
    }

    // Key translation through whatever tables arrived never answers 0.
    for (std::size_t I = 0; I + 1 < Size && I < 64; I += 2) {
        const TKroCommand Code = Processor.Translate(Data[I], Data[I + 1] & 0x0E);
        FUZZ_CHECK(Code != 0);
    }
    return 0;
}

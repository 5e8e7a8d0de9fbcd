// Feeds arbitrary bytes to the command-table file reader; a table it accepts must survive a
// save and a reload unchanged, and a file it refuses must leave the processor as it was.
#include "CommandProcessor.h"
#include "FuzzCheck.h"
#include "KroExceptions.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {
std::string TempPath(const char* What) {
    const char* Dir = std::getenv("TMPDIR");
    return std::string(Dir && *Dir ? Dir : "/tmp") + "/zx_fuzz_table_" + What + "_" +
           std::to_string(::getpid());
}

void WriteFile(const std::string& Path, const std::uint8_t* Data, std::size_t Size) {
    std::FILE* F = std::fopen(Path.c_str(), "wb");
    FUZZ_CHECK(F != nullptr);
    FUZZ_CHECK(std::fwrite(Data, 1, Size, F) == Size);
    FUZZ_CHECK(std::fclose(F) == 0);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static const std::string Input = TempPath("in");
    static const std::string Output = TempPath("out");
    WriteFile(Input, Data, Size);

    TKroCommandTable Table;
    Table.AddCommand({1, 2, 3, 4, 5});
    bool Loaded = true;
    try {
        Table.LoadFromFile(Input);
    } catch (const EInOutError&) {
        Loaded = false;
    }

    // The processor adds the table only when the whole file was read.
    TKroCommandProcessor Processor;
    const std::string Before = Processor.TableListText();
    int Index = -1;
    try {
        Index = Processor.LoadCommandTable(Input);
    } catch (const EInOutError&) {
        FUZZ_CHECK(!Loaded);
    }
    if (!Loaded) {
        FUZZ_CHECK(Processor.Count() == 3);
        FUZZ_CHECK(Processor.TableListText() == Before);
        return 0;
    }
    FUZZ_CHECK(Index == 3 && Processor.Count() == 4);
    FUZZ_CHECK(Processor.Tables(Index).Entries() == Table.Entries());

    // The name is the first line, whatever it holds.
    std::size_t NameEnd = 0;
    while (NameEnd < Size && Data[NameEnd] != '\r' && Data[NameEnd] != '\n')
        ++NameEnd;
    FUZZ_CHECK(Table.TableName() == std::string(reinterpret_cast<const char*>(Data), NameEnd));

    Table.SaveToFile(Output);
    TKroCommandTable Again;
    Again.LoadFromFile(Output);
    FUZZ_CHECK(Again.TableName() == Table.TableName());
    FUZZ_CHECK(Again.Entries() == Table.Entries());

    // Translating through the loaded table never gives 0, whatever it holds.
    Processor.Tables(Index).SetActive(true);
    for (std::size_t I = 0; I + 1 < Size && I < 64; I += 2) {
        const TKroCommand Code = Processor.Translate(Data[I], Data[I + 1] & 0x0E);
        FUZZ_CHECK(Code != 0);
    }
    return 0;
}

// The text file of one command table: its name, then one line of five numbers per entry.
#include "CommandTable.h"
#include "KroExceptions.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {
constexpr int ioFileNotFound = 2;
constexpr int ioInvalidFilename = 3;
constexpr int ioTooManyOpenFiles = 4;
constexpr int ioAccessDenied = 5;
constexpr int ioReadBeyondEnd = 100;
constexpr int ioDiskFull = 101;
constexpr int ioInvalidInput = 106;

// The run-time error number for a failed file operation.
int IoCode(int Err, bool Writing) {
    switch (Err) {
    case ENOENT:
        return Writing ? ioInvalidFilename : ioFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
        return ioInvalidFilename;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
        return ioAccessDenied;
    case EMFILE:
    case ENFILE:
        return ioTooManyOpenFiles;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ioDiskFull;
    default:
        return Err != 0 ? Err : ioAccessDenied;
    }
}

struct FileCloser {
    void operator()(std::FILE* F) const { std::fclose(F); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr OpenFile(const std::string& FileName, bool Writing) {
    errno = 0;
    FilePtr F(std::fopen(FileName.c_str(), Writing ? "wb" : "rb"));
    if (!F) throw EInOutError(IoCode(errno, Writing));
    return F;
}

// Closes F, reporting a failure to flush what was written.
void CloseFile(FilePtr& F, bool Writing) {
    errno = 0;
    const int Result = std::fclose(F.release());
    if (Result != 0 && Writing) throw EInOutError(IoCode(errno, true));
}

std::string ReadAll(const std::string& FileName) {
    FilePtr F = OpenFile(FileName, false);
    std::string Data;
    char Buffer[4096];
    for (;;) {
        errno = 0;
        const std::size_t Got = std::fread(Buffer, 1, sizeof Buffer, F.get());
        Data.append(Buffer, Got);
        if (Got < sizeof Buffer) {
            if (std::ferror(F.get())) throw EInOutError(IoCode(errno, false));
            break;
        }
    }
    CloseFile(F, false);
    return Data;
}

bool IsBlank(char C) {
    return static_cast<unsigned char>(C) <= ' ';
}

// Reads the text after the name line: whitespace-separated integers, five per entry, the rest of
// the line after the fifth ignored.
class EntryReader {
public:
    EntryReader(const std::string& Data, std::size_t Pos) : FData(Data), FPos(Pos) {}

    bool AtEnd() {
        while (FPos < FData.size() && IsBlank(FData[FPos]))
            ++FPos;
        return FPos >= FData.size();
    }

    std::int32_t Number() {
        if (AtEnd()) throw EInOutError(ioReadBeyondEnd);
        const std::size_t Start = FPos;
        while (FPos < FData.size() && !IsBlank(FData[FPos]))
            ++FPos;
        const std::string Token = FData.substr(Start, FPos - Start);
        std::size_t I = Token[0] == '-' || Token[0] == '+' ? 1 : 0;
        if (I == Token.size()) throw EInOutError(ioInvalidInput);
        long long Value = 0;
        for (; I < Token.size(); ++I) {
            if (Token[I] < '0' || Token[I] > '9') throw EInOutError(ioInvalidInput);
            Value = Value * 10 + (Token[I] - '0');
            if (Value > 1LL << 31) throw EInOutError(ioInvalidInput);
        }
        if (Token[0] == '-') Value = -Value;
        if (Value < INT32_MIN || Value > INT32_MAX) throw EInOutError(ioInvalidInput);
        return static_cast<std::int32_t>(Value);
    }

    void SkipLine() {
        while (FPos < FData.size() && FData[FPos] != '\r' && FData[FPos] != '\n')
            ++FPos;
        if (FPos < FData.size() && FData[FPos] == '\r') ++FPos;
        if (FPos < FData.size() && FData[FPos] == '\n') ++FPos;
    }

private:
    const std::string& FData;
    std::size_t FPos;
};
} // namespace

void TKroCommandTable::LoadFromFile(const std::string& FileName) {
    Clear();
    const std::string Data = ReadAll(FileName);

    std::size_t NameEnd = 0;
    while (NameEnd < Data.size() && Data[NameEnd] != '\r' && Data[NameEnd] != '\n')
        ++NameEnd;
    std::string Name = Data.substr(0, NameEnd);

    EntryReader Reader(Data, NameEnd);
    Reader.SkipLine();
    std::vector<TKroCommandEntry> Entries;
    while (!Reader.AtEnd()) {
        TKroCommandEntry E;
        E.Key1 = static_cast<std::uint8_t>(Reader.Number());
        E.Shift1 = static_cast<std::uint8_t>(Reader.Number());
        E.Key2 = static_cast<std::uint8_t>(Reader.Number());
        E.Shift2 = static_cast<std::uint8_t>(Reader.Number());
        E.Command = static_cast<TKroCommand>(Reader.Number());
        Reader.SkipLine();
        Entries.push_back(E);
    }
    FTableName = std::move(Name);
    FEntries = std::move(Entries);
}

void TKroCommandTable::SaveToFile(const std::string& FileName) const {
    std::string Text = FTableName + "\r\n";
    char Line[64];
    for (const auto& E : FEntries) {
        std::snprintf(Line, sizeof Line, "%4d%4d%4d%4d%6d\r\n", E.Key1, E.Shift1, E.Key2, E.Shift2,
                      E.Command);
        Text += Line;
    }
    FilePtr F = OpenFile(FileName, true);
    errno = 0;
    if (std::fwrite(Text.data(), 1, Text.size(), F.get()) != Text.size() ||
        std::fflush(F.get()) != 0)
        throw EInOutError(IoCode(errno, true));
    CloseFile(F, true);
}

// A named, ordered table of key sequences and the command codes they stand for.
#pragma once

#include "CommandCodes.h"

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

// One key sequence and its command. Key2 = 0 makes a one-key entry (then Shift2 is 0 as well);
// Shift2 may be the wildcard ssAnyCtrl.
struct TKroCommandEntry {
    std::uint8_t Key1 = 0;
    std::uint8_t Shift1 = 0;
    std::uint8_t Key2 = 0;
    std::uint8_t Shift2 = 0;
    TKroCommand Command = ccNone;

    friend bool operator==(const TKroCommandEntry&, const TKroCommandEntry&) = default;
};

// The identity of an entry: Key1 + Shift1*256 + Key2*65536 + Shift2*16777216 as a signed 32-bit
// number (negative when Shift2 holds the wildcard).
std::int32_t KeyValue(const TKroCommandEntry& Entry);
// The entry with the key bytes of a key value and the given command.
TKroCommandEntry EntryOfKeyValue(std::int32_t Value, TKroCommand Command);

// The stored form of one table: name, Active flag and pairs (key value, command). For the
// built-in names the pairs are only the differences from the built-in table.
struct TKroStoredTable {
    std::string Name;
    bool Active = true;
    std::vector<std::pair<std::int32_t, std::int32_t>> Pairs;

    friend bool operator==(const TKroStoredTable&, const TKroStoredTable&) = default;
};

class TKroCommandTable {
public:
    TKroCommandTable() = default;

    // Appends a copy; returns its index. No duplicate check here.
    int AddCommand(const TKroCommandEntry& Entry);
    // Inserts a copy before Index (0..Count()).
    void InsertCommand(int Index, const TKroCommandEntry& Entry);
    void DeleteCommand(int Index);
    void ReplaceCommand(int Index, const TKroCommandEntry& Entry);
    TKroCommandEntry GetCommand(int Index) const;
    // Index of the first entry whose key value equals Entry's (the command is ignored), or -1.
    int IndexOfKeys(const TKroCommandEntry& Entry) const;
    int Count() const { return static_cast<int>(FEntries.size()); }
    void Clear() { FEntries.clear(); }
    const std::vector<TKroCommandEntry>& Entries() const { return FEntries; }

    // The text file of one table: the name on line 1, then one entry per line as five
    // right-aligned numbers (widths 4, 4, 4, 4, 6); CR LF line ends. Failures raise EInOutError.
    // LoadFromFile clears the table first and replaces the name with the file's.
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;

    const std::string& TableName() const { return FTableName; }
    void SetTableName(const std::string& Name) { FTableName = Name; }
    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }

    // Stored form of this table (differences only when the name is a built-in one).
    TKroStoredTable CommandList() const;
    // Reads name, flag and entries from a stored form, replacing the whole content.
    void SetCommandList(const TKroStoredTable& Stored);

private:
    void CheckIndex(int Index, int Limit) const;

    bool FActive = true;
    std::vector<TKroCommandEntry> FEntries;
    std::string FTableName = "(Unknown)";
};

// Table names compare ignoring the letter case of A to Z.
bool SameTableName(const std::string& A, const std::string& B);

// The built-in tables, shared constant data in table order.
std::span<const TKroCommandEntry> DefaultCommands();  // 64 entries
std::span<const TKroCommandEntry> WordStarCommands(); // 40 entries
std::span<const TKroCommandEntry> GridCommands();     // 38 entries
// The built-in table of a name ("Default", "WordStar", "Grid", any letter case); empty otherwise.
std::span<const TKroCommandEntry> BuiltinCommands(const std::string& Name);

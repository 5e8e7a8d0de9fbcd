// Command table: entries, key values and the stored form of one table.
#include "CommandTable.h"

#include <cctype>
#include <stdexcept>

std::int32_t KeyValue(const TKroCommandEntry& Entry) {
    const std::uint32_t Value = std::uint32_t{Entry.Key1} | std::uint32_t{Entry.Shift1} << 8 |
                                std::uint32_t{Entry.Key2} << 16 | std::uint32_t{Entry.Shift2} << 24;
    return static_cast<std::int32_t>(Value);
}

TKroCommandEntry EntryOfKeyValue(std::int32_t Value, TKroCommand Command) {
    const auto Bits = static_cast<std::uint32_t>(Value);
    return {static_cast<std::uint8_t>(Bits), static_cast<std::uint8_t>(Bits >> 8),
            static_cast<std::uint8_t>(Bits >> 16), static_cast<std::uint8_t>(Bits >> 24), Command};
}

bool SameTableName(const std::string& A, const std::string& B) {
    if (A.size() != B.size()) return false;
    for (std::size_t I = 0; I < A.size(); ++I)
        if (std::toupper(static_cast<unsigned char>(A[I])) !=
            std::toupper(static_cast<unsigned char>(B[I])))
            return false;
    return true;
}

void TKroCommandTable::CheckIndex(int Index, int Limit) const {
    if (Index < 0 || Index >= Limit)
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
}

int TKroCommandTable::AddCommand(const TKroCommandEntry& Entry) {
    FEntries.push_back(Entry);
    return Count() - 1;
}

void TKroCommandTable::InsertCommand(int Index, const TKroCommandEntry& Entry) {
    CheckIndex(Index, Count() + 1);
    FEntries.insert(FEntries.begin() + Index, Entry);
}

void TKroCommandTable::DeleteCommand(int Index) {
    CheckIndex(Index, Count());
    FEntries.erase(FEntries.begin() + Index);
}

void TKroCommandTable::ReplaceCommand(int Index, const TKroCommandEntry& Entry) {
    CheckIndex(Index, Count());
    FEntries[static_cast<std::size_t>(Index)] = Entry;
}

TKroCommandEntry TKroCommandTable::GetCommand(int Index) const {
    CheckIndex(Index, Count());
    return FEntries[static_cast<std::size_t>(Index)];
}

int TKroCommandTable::IndexOfKeys(const TKroCommandEntry& Entry) const {
    const std::int32_t Wanted = KeyValue(Entry);
    for (int I = 0; I < Count(); ++I)
        if (KeyValue(FEntries[static_cast<std::size_t>(I)]) == Wanted) return I;
    return -1;
}

namespace {
bool IsBuiltinKey(std::span<const TKroCommandEntry> Builtin, std::int32_t Key) {
    for (const auto& B : Builtin)
        if (KeyValue(B) == Key) return true;
    return false;
}
} // namespace

TKroStoredTable TKroCommandTable::CommandList() const {
    TKroStoredTable Stored{FTableName, FActive, {}};
    const auto Builtin = BuiltinCommands(FTableName);
    if (Builtin.empty()) {
        for (const auto& E : FEntries)
            Stored.Pairs.emplace_back(KeyValue(E), E.Command);
        return Stored;
    }
    // Built-in entries that are gone, then entries that differ from every built-in one.
    for (const auto& B : Builtin)
        if (IndexOfKeys(B) < 0) Stored.Pairs.emplace_back(KeyValue(B), 0);
    for (const auto& E : FEntries) {
        bool Unchanged = false;
        for (const auto& B : Builtin)
            if (KeyValue(B) == KeyValue(E) && B.Command == E.Command) Unchanged = true;
        if (!Unchanged) Stored.Pairs.emplace_back(KeyValue(E), E.Command);
    }
    return Stored;
}

void TKroCommandTable::SetCommandList(const TKroStoredTable& Stored) {
    FTableName = Stored.Name;
    FActive = Stored.Active;
    FEntries.clear();
    const auto Builtin = BuiltinCommands(Stored.Name);
    if (Builtin.empty()) {
        for (const auto& [Key, Command] : Stored.Pairs)
            FEntries.push_back(EntryOfKeyValue(Key, static_cast<TKroCommand>(Command)));
        return;
    }
    FEntries.assign(Builtin.begin(), Builtin.end());
    for (const auto& [Key, Command] : Stored.Pairs) {
        const TKroCommandEntry Entry = EntryOfKeyValue(Key, static_cast<TKroCommand>(Command));
        const int Index = IndexOfKeys(Entry);
        // A second deletion of a built-in key would otherwise append a do-nothing entry that
        // writes back as a deletion, so the list would not read back to the same table.
        if (Index < 0 && Entry.Command == ccNone && IsBuiltinKey(Builtin, Key)) continue;
        if (Index < 0)
            AddCommand(Entry);
        else if (Entry.Command != ccNone)
            ReplaceCommand(Index, Entry);
        else
            DeleteCommand(Index);
    }
}

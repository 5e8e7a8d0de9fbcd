// Command processor: the ordered table list, its stored form and key translation.
#include "CommandProcessor.h"
#include "KroExceptions.h"
#include "VirtualKeys.h"

#include <stdexcept>

TKroCommandProcessor::TKroCommandProcessor() {
    const struct {
        const char* Name;
        bool Active;
        std::span<const TKroCommandEntry> Entries;
    } Builtins[] = {{"Default", true, DefaultCommands()},
                    {"WordStar", false, WordStarCommands()},
                    {"Grid", false, GridCommands()}};
    for (const auto& B : Builtins) {
        CreateCommandTable(B.Name, B.Active);
        for (const auto& E : B.Entries)
            AddCommand(B.Name, E);
    }
    ResetState();
}

namespace {
using TTableList = std::vector<std::unique_ptr<TKroCommandTable>>;

TKroCommandTable* FindTable(const TTableList& Tables, const std::string& Name) {
    for (const auto& T : Tables)
        if (SameTableName(T->TableName(), Name)) return T.get();
    return nullptr;
}

// Appends Table, first renaming it Base1, Base2 ... when its digit-stripped name is taken.
void AppendUnique(TTableList& Tables, std::unique_ptr<TKroCommandTable> Table) {
    std::string Base = Table->TableName();
    while (Base.size() > 1 && Base.back() >= '0' && Base.back() <= '9')
        Base.pop_back();
    std::string Candidate = Base;
    int Counter = 0;
    while (FindTable(Tables, Candidate))
        Candidate = Base + std::to_string(++Counter);
    if (Counter > 0) Table->SetTableName(Candidate);
    Tables.push_back(std::move(Table));
}
} // namespace

void TKroCommandProcessor::AddTable(std::unique_ptr<TKroCommandTable> Table) {
    if (Table) AppendUnique(FTables, std::move(Table));
}

int TKroCommandProcessor::CreateCommandTable(const std::string& Name, bool Active) {
    auto Table = std::make_unique<TKroCommandTable>();
    Table->SetTableName(Name);
    Table->SetActive(Active);
    AddTable(std::move(Table));
    return Count() - 1;
}

int TKroCommandProcessor::AddCommand(const std::string& TableName, const TKroCommandEntry& Entry) {
    TKroCommandTable* Table = GetCommandTable(TableName);
    if (!Table) throw ETableNotFound();
    if (Table->IndexOfKeys(Entry) >= 0) throw EDuplicateCommand();
    return Table->AddCommand(Entry);
}

TKroCommandTable* TKroCommandProcessor::GetCommandTable(const std::string& Name) const {
    return FindTable(FTables, Name);
}

TKroCommandTable& TKroCommandProcessor::Tables(int Index) const {
    if (Index < 0 || Index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    return *FTables[static_cast<std::size_t>(Index)];
}

int TKroCommandProcessor::LoadCommandTable(const std::string& FileName) {
    auto Table = std::make_unique<TKroCommandTable>();
    Table->LoadFromFile(FileName); // on failure the new table dies here
    AddTable(std::move(Table));
    return Count() - 1;
}

void TKroCommandProcessor::SaveCommandTable(const std::string& TableName,
                                            const std::string& FileName) const {
    if (const TKroCommandTable* Table = GetCommandTable(TableName)) Table->SaveToFile(FileName);
}

std::vector<TKroStoredTable> TKroCommandProcessor::TableList() const {
    std::vector<TKroStoredTable> Groups;
    for (const auto& T : FTables)
        Groups.push_back(T->CommandList());
    return Groups;
}

void TKroCommandProcessor::SetTableList(const std::vector<TKroStoredTable>& Groups) {
    // Built aside so that a failure leaves the old tables in place.
    TTableList Fresh;
    for (const auto& G : Groups) {
        auto Table = std::make_unique<TKroCommandTable>();
        Table->SetCommandList(G);
        AppendUnique(Fresh, std::move(Table));
    }
    FTables = std::move(Fresh);
}

std::string TKroCommandProcessor::TableListText() const {
    return FormatTableList(TableList());
}

void TKroCommandProcessor::SetTableListText(const std::string& Text) {
    SetTableList(ParseTableList(Text));
}

void TKroCommandProcessor::ResetState() {
    FPendingState = 0;
    FPendingKey = 0;
    FPendingShift = 0;
}

namespace {
bool IsModifierKey(std::uint8_t Key) {
    return Key == vkShift || Key == vkControl || Key == vkMenu || Key == vkCapital ||
           Key == vkNumLock || Key == vkScroll;
}
} // namespace

TKroCommand TKroCommandProcessor::Translate(int Key, std::uint8_t ShiftState) {
    const auto K = static_cast<std::uint8_t>(Key & 0xFF);
    if (IsModifierKey(K)) return FPendingState == 1 ? ccPartial : ccNoCommand;
    if (FPendingState == 2) {
        FPendingState = 0;
        return ccNoCommand;
    }
    // Only the three modifier bits: the wildcard never comes from a key press.
    const auto S = static_cast<std::uint8_t>(ShiftState & (ssShift | ssCtrl | ssAlt));
    if (K != 0) {
        for (const auto& T : FTables) {
            if (!T->Active()) continue;
            if (const TKroCommand R = SearchTable(*T, K, S); R != 0) return R;
        }
    }
    const TKroCommand Result = FPendingState == 1 ? ccUnknownSequence : ccNoCommand;
    FPendingState = 0;
    return Result;
}

TKroCommand TKroCommandProcessor::SearchTable(const TKroCommandTable& Table, std::uint8_t Key,
                                              std::uint8_t Shift) {
    if (FPendingState == 1) {
        for (const auto& E : Table.Entries()) {
            if (E.Key1 != FPendingKey || E.Shift1 != FPendingShift || E.Key2 != Key) continue;
            if (E.Shift2 == Shift || (E.Shift2 == ssAnyCtrl && (Shift == 0 || Shift == ssCtrl))) {
                FPendingState = E.Command == ccCtrlChar ? 2 : 0;
                return E.Command;
            }
        }
        return 0;
    }
    for (const auto& E : Table.Entries()) {
        if (E.Key1 != Key || E.Shift1 != Shift) continue;
        if (E.Key2 == 0) {
            if (E.Command == ccCtrlChar) FPendingState = 2;
            return E.Command;
        }
        FPendingState = 1;
        FPendingKey = Key;
        FPendingShift = Shift;
        return ccPartial;
    }
    return 0;
}

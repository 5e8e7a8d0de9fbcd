// The ordered list of command tables and the translation of key presses into command codes.
#pragma once

#include "CommandTable.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TKroCommandProcessor {
public:
    // Holds Default (active), WordStar and Grid (inactive), in that order, and is idle.
    TKroCommandProcessor();

    // Takes ownership, makes the name unique (Default -> Default1 -> Default2) and appends.
    void AddTable(std::unique_ptr<TKroCommandTable> Table);
    // Creates an empty table, adds it; returns its index.
    int CreateCommandTable(const std::string& Name, bool Active);
    // Appends to the named table; raises ETableNotFound or EDuplicateCommand (same key value).
    int AddCommand(const std::string& TableName, const TKroCommandEntry& Entry);
    // The first table whose name equals Name ignoring letter case, or nullptr.
    TKroCommandTable* GetCommandTable(const std::string& Name) const;
    // The table at Index; std::out_of_range outside 0..Count()-1.
    TKroCommandTable& Tables(int Index) const;
    int Count() const { return static_cast<int>(FTables.size()); }
    void Clear() { FTables.clear(); }

    // Loads a table file into a new table and adds it; on failure nothing is added.
    int LoadCommandTable(const std::string& FileName);
    // Saves the named table; does nothing when there is no such table.
    void SaveCommandTable(const std::string& TableName, const std::string& FileName) const;

    // Stored form of all tables, in list order. Setting it replaces every table (the pending
    // translation state stays as it is).
    std::vector<TKroStoredTable> TableList() const;
    void SetTableList(const std::vector<TKroStoredTable>& Groups);
    // The same as text: ('WordStar' False () 'Default' True ()). Setting malformed text raises
    // ECmdProcessorError and leaves the tables unchanged.
    std::string TableListText() const;
    void SetTableListText(const std::string& Text);

    // Turns one key-down into a command code: a table's command, ccNoCommand, ccUnknownSequence
    // or ccPartial; never 0. Key is the virtual-key code (low 8 bits used); ShiftState is the
    // sum of ssShift, ssCtrl and ssAlt held at the moment of the key.
    TKroCommand Translate(int Key, std::uint8_t ShiftState);
    void ResetState();

    // Translation state: 0 idle, 1 prefix pending, 2 next key passes through as a character.
    std::uint8_t PendingState() const { return FPendingState; }
    std::uint8_t PendingKey() const { return FPendingKey; }
    std::uint8_t PendingShift() const { return FPendingShift; }

private:
    TKroCommand SearchTable(const TKroCommandTable& Table, std::uint8_t Key, std::uint8_t Shift);

    std::vector<std::unique_ptr<TKroCommandTable>> FTables;
    std::uint8_t FPendingState = 0;
    std::uint8_t FPendingKey = 0;
    std::uint8_t FPendingShift = 0;
};

// The text form of a table list and its reader (ECmdProcessorError on malformed text).
std::string FormatTableList(const std::vector<TKroStoredTable>& Groups);
std::vector<TKroStoredTable> ParseTableList(const std::string& Text);

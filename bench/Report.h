// The tables: per size, each operation's median for every editor and our ratio to the better peer.
#pragma once

#include "Operations.h"
#include "Reference.h"
#include "Workload.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace zbench {

// Everything the sessions of one editor reported for one size.
struct EditorRuns {
    std::map<std::string, std::vector<double>> values; // operation key -> one value per run
    std::set<std::string> errors;
    std::set<std::string> warnings; // findings that do not fail the run
    std::set<std::string> fonts;
    int sessions = 0;
    int failedSessions = 0;
};

struct SizeReport {
    WorkloadKind kind;
    TextStats stats;
    int runs = 0;
    SessionShape shape;
    std::vector<std::string> builtEditors; // keys of the editors this harness can run
    ReferenceTimes reference;
    std::map<std::string, EditorRuns> editors; // by editor key; absent when not run
};

double Median(std::vector<double> values);
std::string FormatSeconds(double seconds);
std::string FormatBytes(double bytes);

std::string TextTable(const SizeReport& report);
std::string MarkdownTable(const SizeReport& report);
// The machine, system and library versions, as a Markdown list.
std::string MachineDescription();

} // namespace zbench

// Helpers shared by the text store tests: a recording editor and text snapshots of a list.
#pragma once

#include "ParaList.h"

#include <cstdlib>
#include <string>
#include <vector>

// Records every notification as a short text, e.g. "ins 2 5 3".
struct TRecordingClient : IParaListClient {
    std::vector<std::string> Events;
    void TextInserted(int32_t Para, int32_t Pos, int32_t Count) override {
        Events.push_back("ins " + std::to_string(Para) + " " + std::to_string(Pos) + " " +
                         std::to_string(Count));
    }
    void TextDeleted(int32_t Para, int32_t Pos, int32_t Count) override {
        Events.push_back("del " + std::to_string(Para) + " " + std::to_string(Pos) + " " +
                         std::to_string(Count));
    }
    void ParaDeleted(int32_t Para) override { Events.push_back("pdel " + std::to_string(Para)); }
    void ParaSplit(int32_t Para, int32_t Pos, int32_t Indent) override {
        Events.push_back("split " + std::to_string(Para) + " " + std::to_string(Pos) + " " +
                         std::to_string(Indent));
    }
    void ParasJoined(int32_t Para, int32_t Pos) override {
        Events.push_back("join " + std::to_string(Para) + " " + std::to_string(Pos));
    }
    void TextReformatted() override { Events.push_back("reformat"); }
    void ShowBusy(bool Busy) override { Events.push_back(Busy ? "busy" : "idle"); }
};

inline std::vector<std::string> Paras(const TParaList& L) {
    std::vector<std::string> R;
    for (const TParaNode* N = L.FirstNode(); N; N = N->Next())
        R.emplace_back(N->Text(), N->Length());
    return R;
}

// The display lines of a node as strings.
inline std::vector<std::string> Lines(const TParaNode& N) {
    std::vector<std::string> R;
    for (int32_t K = 1; K <= N.LineCount(); ++K) {
        int32_t Len;
        const char* T = N.LineText(K, Len);
        R.emplace_back(T, Len);
    }
    return R;
}

// Loads paragraphs into a fresh list the way file loading does (the last one replaces the
// initial empty paragraph's role by being typed into it).
inline void Load(TParaList& L, const std::vector<std::string>& Ps) {
    for (size_t I = 0; I + 1 < Ps.size(); ++I)
        L.AppendPara(Ps[I].data(), static_cast<int32_t>(Ps[I].size()), false);
    if (!Ps.empty() && !Ps.back().empty()) {
        const std::string& S = Ps.back();
        L.InsertText(nullptr, L.ParaCount(), static_cast<int32_t>(S.size()), S.data(), 1);
        L.UndoBuffer().Clear();
        L.SetModified(false);
    }
}

// Steps of the randomized tests: ZANTRIX_RANDOM_STEPS overrides the short CI default.
inline int RandomSteps(int Default) {
    const char* E = std::getenv("ZANTRIX_RANDOM_STEPS");
    return E && std::atoi(E) > 0 ? std::atoi(E) : Default;
}

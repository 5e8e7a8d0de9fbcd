// A text file editor on the headless platform with a scratch folder of its own, for the file tests.
#pragma once

#include "Controller.h"
#include "Headless.h"
#include "KroExceptions.h"
#include "TextFileEditor.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

struct TFileRig {
    TKroHeadlessPlatform Platform;
    TKroPlatformScope Scope{Platform};
    TKroController Controller;
    TKroHeadlessWindow Window;
    TKroTextFileEditor Ed{nullptr, &Window};
    std::string Dir;

    TFileRig() {
        Window.Surface.Metrics = TKroTextMetrics{10, 9, 0};
        Window.Width = 420;
        Window.Height = 200;
        Ed.SetController(&Controller);
        Ed.CreateWnd();
        char Template[] = "/tmp/zx-file-XXXXXX";
        Dir = ::mkdtemp(Template);
    }
    ~TFileRig() {
        ::chmod(Dir.c_str(), 0755);
        fs::remove_all(Dir);
    }
    std::string Path(const std::string& Name) const { return Dir + "/" + Name; }
    void Write(const std::string& Name, const std::string& Bytes) const {
        std::ofstream(Path(Name), std::ios::binary) << Bytes;
    }
    std::string Read(const std::string& Name) const {
        std::ifstream In(Path(Name), std::ios::binary);
        return {std::istreambuf_iterator<char>(In), {}};
    }
    void Open(const std::string& Name) {
        Ed.SetFileName(Path(Name));
        Ed.SetIsOpen(true);
    }
    std::vector<std::string> Paras() const {
        std::vector<std::string> Out;
        for (int32_t P = 1; P <= Ed.ParaList().ParaCount(); ++P) {
            int32_t Len = 0;
            const char* T = Ed.GetPara(P, Len);
            Out.emplace_back(T, Len);
        }
        return Out;
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> Out;
        for (const auto& E : fs::directory_iterator(Dir))
            Out.push_back(E.path().filename().string());
        std::sort(Out.begin(), Out.end());
        return Out;
    }
};

using TLines = std::vector<std::string>;

// What a failed call raised.
template <class Fn> std::string IoMessage(Fn&& F) {
    try {
        F();
    } catch (const EInOutError& E) {
        return E.what();
    }
    return "(nothing raised)";
}

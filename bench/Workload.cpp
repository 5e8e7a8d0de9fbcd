// Writes scene-like text: declarations, nested blocks, vectors, comments and a few long lines.
#include "Workload.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace zbench {

const char kAbsentPattern[] = "tessellated_quokka";

namespace {

// splitmix64: small, fast and the same on every machine.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return int(Next() % std::uint64_t(n)); }
    bool OneIn(int n) { return Below(n) == 0; }
    // A number with two decimals in [-range, range].
    double Number(int range) { return (Below(range * 200 + 1) - range * 100) / 100.0; }

private:
    std::uint64_t state_;
};

const char* const kNames[] = {"Column", "Arch",  "Floor", "Lamp",  "Wall",  "Vase",   "Stair",
                              "Window", "Roof",  "Beam",  "Table", "Chair", "Mirror", "Tree",
                              "Rock",   "Cloud", "Ring",  "Tower", "Gate",  "Bridge"};
const char* const kWords[] = {"the",    "main",  "hall",   "light",   "north",  "south", "wing",
                              "detail", "glass", "marble", "soft",    "shadow", "left",  "right",
                              "upper",  "lower", "frame",  "support", "base",   "top",   "of",
                              "and",    "with",  "behind", "over",    "under",  "warm",  "cold"};
const char* const kShapes[] = {"sphere", "box", "cylinder", "cone", "torus"};
const char* const kCsg[] = {"union", "difference", "intersection", "merge"};
const char* const kFinishes[] = {"phong", "specular", "reflection", "diffuse", "ambient"};

// Joins the parts; a braced list evaluates them, and so draws the random numbers, left to right.
std::string Cat(std::initializer_list<std::string> parts) {
    std::string s;
    for (const std::string& part : parts)
        s += part;
    return s;
}

template <typename T, std::size_t N> const char* Pick(Rng& rng, const T (&items)[N]) {
    return items[rng.Below(int(N))];
}

class SceneWriter {
public:
    SceneWriter(std::string& out, Rng& rng) : out_(out), rng_(rng) {}

    void Section() {
        // Each section indents with tabs, four blanks or two blanks, sometimes mixed.
        const int style = rng_.Below(4);
        indent_ = style == 0 ? "\t" : style == 1 ? "    " : style == 2 ? "  " : "\t  ";
        switch (rng_.Below(10)) {
        case 0:
            CommentBlock();
            break;
        case 1:
            Camera();
            break;
        case 2:
            Light();
            break;
        case 3:
        case 4:
            Declares();
            break;
        case 5:
            Loop();
            break;
        default:
            Object();
            break;
        }
        if (rng_.OneIn(400)) LongLine();
        Line(0, "");
    }

private:
    void Line(int depth, const std::string& text) {
        for (int i = 0; i < depth; ++i)
            out_ += indent_;
        out_ += text;
        out_ += "\r\n";
    }
    std::string Num(int range) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.2f", rng_.Number(range));
        return buf;
    }
    std::string Vec(int range) {
        char buf[96];
        const double x = rng_.Number(range), y = rng_.Number(range), z = rng_.Number(range);
        std::snprintf(buf, sizeof buf, "<%.2f, %.2f, %.2f>", x, y, z);
        return buf;
    }
    std::string Name() { return Cat({Pick(rng_, kNames), "_", std::to_string(rng_.Below(500))}); }
    std::string Phrase(int words) {
        std::string s = Pick(rng_, kWords);
        for (int i = 1; i < words; ++i)
            s += std::string(" ") + Pick(rng_, kWords);
        return s;
    }

    void CommentBlock() {
        Line(0, "// ---- " + Phrase(3 + rng_.Below(4)) + " ----");
        if (rng_.OneIn(2)) {
            Line(0, "/*");
            for (int i = 0, n = 2 + rng_.Below(5); i < n; ++i)
                Line(1, Phrase(4 + rng_.Below(10)));
            Line(0, "*/");
        }
    }
    void Camera() {
        Line(0, "camera {");
        Line(1, "location " + Vec(20));
        Line(1, "look_at " + Vec(5));
        Line(1, "angle " + std::to_string(30 + rng_.Below(40)));
        Line(0, "}");
    }
    void Light() {
        Line(0, Cat({"light_source { ", Vec(50), " color rgb <1, 1, 1> }  // ", Phrase(3)}));
    }
    void Declares() {
        for (int i = 0, n = 2 + rng_.Below(6); i < n; ++i) {
            if (rng_.OneIn(2))
                Line(0, Cat({"#declare ", Name(), " = ", Vec(10), ";"}));
            else
                Line(0, Cat({"#declare ", Name(), " = ", Num(5), ";"}));
        }
    }
    void Texture(int depth) {
        Line(depth, "texture {");
        Line(depth + 1, "pigment { color rgb " + Vec(1) + " }");
        Line(depth + 1, Cat({"finish { ", Pick(rng_, kFinishes), " ", Num(1), " }"}));
        if (rng_.OneIn(3)) {
            Line(depth + 1, "normal {");
            Line(depth + 2, Cat({"bumps ", Num(1), " scale ", Num(2)}));
            Line(depth + 1, "}");
        }
        Line(depth, "}");
    }
    void Shape(int depth) {
        const char* shape = Pick(rng_, kShapes);
        std::string args;
        if (std::strcmp(shape, "sphere") == 0)
            args = Cat({Vec(10), ", ", Num(3)});
        else if (std::strcmp(shape, "torus") == 0)
            args = Cat({Num(3), ", ", Num(1)});
        else
            args = Cat({Vec(10), ", ", Vec(10)});
        Line(depth, std::string(shape) + " { " + args);
        if (rng_.OneIn(2)) Texture(depth + 1);
        if (rng_.OneIn(3)) Line(depth + 1, "rotate " + Vec(180));
        Line(depth, "}");
    }
    void Object() {
        Line(0, Cat({"#declare ", Name(), " = ", Pick(rng_, kCsg), " {"}));
        for (int i = 0, n = 1 + rng_.Below(4); i < n; ++i) {
            if (rng_.OneIn(4)) {
                Line(1, std::string(Pick(rng_, kCsg)) + " {");
                Shape(2);
                Shape(2);
                Line(1, "}");
            } else {
                Shape(1);
            }
        }
        Texture(1);
        Line(0, "}");
        Line(0, Cat({"object { ", Name(), " translate ", Vec(20), " }"}));
    }
    void Loop() {
        Line(0, "#declare I = 0;");
        Line(0, "#while (I < " + std::to_string(4 + rng_.Below(20)) + ")");
        Line(1, Cat({"object { ", Name(), " translate <I * ", Num(3), ", 0, 0> }"}));
        Line(1, "#declare I = I + 1;");
        Line(0, "#end");
    }
    // A point list on one line, as exporters write them.
    void LongLine() {
        const int points = 50 + rng_.Below(300);
        std::string s = "polygon { " + std::to_string(points);
        for (int i = 0; i < points; ++i)
            s += ", " + Vec(100);
        Line(1, s + " }");
    }

    std::string& out_;
    Rng& rng_;
    const char* indent_ = "\t";
};

} // namespace

const std::vector<WorkloadKind>& Workloads() {
    static const std::vector<WorkloadKind> kinds = {
        {"1M", "1 MB", 1000000, false},
        {"10M", "10 MB", 10000000, false},
        {"100M", "100 MB", 100000000, false},
        {"long", "long lines (70 × 30000 characters)",
         std::uint64_t(kLongLineCount) * (kLongLineLength + 2), true},
    };
    return kinds;
}

const WorkloadKind* FindWorkload(const std::string& key) {
    for (const WorkloadKind& kind : Workloads())
        if (kind.key == key) return &kind;
    return nullptr;
}

std::string GenerateSceneText(std::uint64_t bytes) {
    std::string out;
    out.reserve(bytes + 65536);
    Rng rng(0x5A4E5452ull); // fixed: every run measures the same text
    SceneWriter writer(out, rng);
    while (out.size() < bytes)
        writer.Section();
    return out;
}

std::string GenerateLongLineText(int lines, int length) {
    std::string out;
    out.reserve(std::size_t(lines) * (length + 2));
    Rng rng(0x4C4F4E47ull);
    for (int i = 0; i < lines; ++i) {
        std::string line = "\tpoints ";
        while (int(line.size()) < length) {
            char buf[64];
            const double x = rng.Number(100), y = rng.Number(100), z = rng.Number(100);
            std::snprintf(buf, sizeof buf, "<%.2f, %.2f, %.2f>, ", x, y, z);
            line += buf;
        }
        line.resize(std::size_t(length));
        // Cut inside a vector, a line could end in a blank; editors that trim trailing blanks
        // would then save a different file, which is beside the point here.
        if (line.back() == ' ') line.back() = '0';
        out += line;
        out += "\r\n";
    }
    return out;
}

std::string GenerateWorkload(const WorkloadKind& kind) {
    return kind.longLines ? GenerateLongLineText(kLongLineCount, kLongLineLength)
                          : GenerateSceneText(kind.bytes);
}

TextStats Measure(const std::string& text) {
    TextStats stats;
    stats.bytes = text.size();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::size_t length = end - start;
        if (length > 0 && text[end - 1] == '\r') --length;
        stats.longestLine = std::max<std::uint64_t>(stats.longestLine, length);
        ++stats.lines;
        start = end + 1;
    }
    return stats;
}

} // namespace zbench

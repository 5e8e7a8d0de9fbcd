// The text file editor: its file properties, reading a file as lines (CR LF, LF or CR), and
// saving through a temporary file renamed into place with an optional backup copy.
#include "TextFileEditor.h"

#include "KroExceptions.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// ---------------------------------------------------------------------------------------------
// Errors and file handles

enum class TIoStep { Read, Write };

// The run-time I/O error for an operating-system error number, with the run-time's messages
// where one fits and "I/O error n" otherwise.
EInOutError IoError(int E, TIoStep Step) {
    switch (E) {
    case ENOENT:
        // Creating a file fails this way only when its directory is missing.
        return EInOutError(Step == TIoStep::Write ? 3 : 2);
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return EInOutError(3);
    case EMFILE:
    case ENFILE:
        return EInOutError(4);
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
    case EBUSY:
        return EInOutError(5);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return EInOutError(101);
    default:
        return EInOutError("I/O error " + std::to_string(E), E);
    }
}

// Closes the descriptor on every way out.
class TFileHandle {
public:
    explicit TFileHandle(int Fd = -1) : FFd(Fd) {}
    ~TFileHandle() {
        if (FFd >= 0) ::close(FFd);
    }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    int Get() const { return FFd; }
    void Reset(int Fd) {
        if (FFd >= 0) ::close(FFd);
        FFd = Fd;
    }
    // Closes now and reports what close() says (a delayed write error surfaces here).
    int Close() {
        const int R = ::close(FFd);
        FFd = -1;
        return R;
    }

private:
    int FFd;
};

// The directory part of a path, up to and including its last separator ("" when none).
std::string DirectoryPart(const std::string& Path) {
    const std::size_t S = Path.rfind('/');
    return S == std::string::npos ? std::string() : Path.substr(0, S + 1);
}

std::string NamePart(const std::string& Path) {
    const std::size_t S = Path.rfind('/');
    return S == std::string::npos ? Path : Path.substr(S + 1);
}

// The system sees a name only up to a NUL: such a name would reach another file.
void CheckName(const std::string& Name) {
    if (Name.find('\0') != std::string::npos) throw EInOutError(3);
}

// The path a save writes: symbolic links followed to the file they name, also when that file
// does not exist yet, so the links stay links. A chain that does not end is refused.
std::string FollowLinks(std::string Path) {
    for (int Hop = 0; Hop < 40; ++Hop) {
        struct stat St;
        if (::lstat(Path.c_str(), &St) != 0 || !S_ISLNK(St.st_mode)) return Path;
        std::string Target(static_cast<std::size_t>(St.st_size > 0 ? St.st_size : 255) + 1, '\0');
        const ssize_t N = ::readlink(Path.c_str(), Target.data(), Target.size());
        if (N <= 0) return Path;
        if (static_cast<std::size_t>(N) == Target.size()) continue; // grew meanwhile: again
        Target.resize(static_cast<std::size_t>(N));
        Path = Target.front() == '/' ? Target : DirectoryPart(Path) + Target;
    }
    throw EInOutError(3);
}

// ---------------------------------------------------------------------------------------------
// Reading lines

constexpr std::size_t ReadBlock = std::size_t(4) << 20;
constexpr char CtrlZ = 26;

// The first CR or LF in [P, E), or E. Sixteen bytes at a time where the processor allows.
const char* FindLineEnd(const char* P, const char* E) {
#if defined(__SSE2__)
    const __m128i Cr = _mm_set1_epi8('\r');
    const __m128i Lf = _mm_set1_epi8('\n');
    for (; E - P >= 16; P += 16) {
        const __m128i V = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
        const unsigned M = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(V, Cr), _mm_cmpeq_epi8(V, Lf))));
        if (M != 0) return P + __builtin_ctz(M);
    }
#endif
    for (; P < E; ++P)
        if (*P == '\r' || *P == '\n') return P;
    return E;
}

// Calls OnLine(Text, Len) for every line of the file. A line ends at CR LF, LF or CR; a
// Ctrl+Z that is the file's very last byte is the old end-of-file mark and is dropped; any
// other byte (NUL and Ctrl+Z included) belongs to its line. A final line end adds no line.
template <class Fn> void ForEachLine(int Fd, Fn&& OnLine) {
    std::size_t Cap = ReadBlock;
    std::unique_ptr<char[]> Buf(new char[Cap]);
    std::size_t Start = 0;
    std::size_t End = 0;
    // No line end lies in [Start, Scanned): a partial line is not searched twice.
    std::size_t Scanned = 0;
    bool Eof = false;
    for (;;) {
        for (;;) {
            const char* B = Buf.get();
            const std::size_t E =
                static_cast<std::size_t>(FindLineEnd(B + std::max(Start, Scanned), B + End) - B);
            Scanned = E;
            if (E == End) break;
            if (B[E] == '\r' && E + 1 == End && !Eof) break; // a LF may follow in the next block
            OnLine(B + Start, E - Start);
            Start = E + 1;
            if (B[E] == '\r' && Start < End && B[Start] == '\n') ++Start;
        }
        if (Eof) {
            std::size_t N = End - Start;
            if (N > 0 && Buf[End - 1] == CtrlZ) --N;
            if (N > 0) OnLine(Buf.get() + Start, N);
            return;
        }
        if (Start > 0) {
            std::memmove(Buf.get(), Buf.get() + Start, End - Start);
            Scanned = Scanned > Start ? Scanned - Start : 0;
            End -= Start;
            Start = 0;
        }
        if (End == Cap) { // one line fills the buffer: it grows
            std::unique_ptr<char[]> Bigger(new char[Cap * 2]);
            std::memcpy(Bigger.get(), Buf.get(), End);
            Buf = std::move(Bigger);
            Cap *= 2;
        }
        ssize_t N;
        do
            N = ::read(Fd, Buf.get() + End, Cap - End);
        while (N < 0 && errno == EINTR);
        if (N < 0) throw IoError(errno, TIoStep::Read);
        if (N == 0)
            Eof = true;
        else
            End += static_cast<std::size_t>(N);
    }
}

// ---------------------------------------------------------------------------------------------
// Writing

constexpr std::size_t WriteBlock = std::size_t(1) << 20;

void WriteAll(int Fd, const char* Data, std::size_t Len) {
    while (Len > 0) {
        const ssize_t N = ::write(Fd, Data, Len);
        if (N < 0) {
            if (errno == EINTR) continue;
            throw IoError(errno, TIoStep::Write);
        }
        if (N == 0) throw EInOutError(101);
        Data += N;
        Len -= static_cast<std::size_t>(N);
    }
}

// Collects output in one large block and writes it when full.
class TWriteBuffer {
public:
    explicit TWriteBuffer(int Fd) : FFd(Fd), FBuf(new char[WriteBlock]) {}
    void Put(const char* Data, std::size_t Len) {
        if (Len >= WriteBlock) {
            Flush();
            WriteAll(FFd, Data, Len);
            return;
        }
        if (FUsed + Len > WriteBlock) Flush();
        std::memcpy(FBuf.get() + FUsed, Data, Len);
        FUsed += Len;
    }
    void Flush() {
        WriteAll(FFd, FBuf.get(), FUsed);
        FUsed = 0;
    }

private:
    int FFd;
    std::unique_ptr<char[]> FBuf;
    std::size_t FUsed = 0;
};

// The temporary file a save writes, beside its target; removed unless it was renamed into
// place.
class TTempFile {
public:
    // Creates the file exclusively (mode 0666 less the umask) in Dir.
    TTempFile(const std::string& Dir, const std::string& Name) {
        std::random_device Seed;
        std::mt19937 Rng(Seed());
        // A long name leaves no room for the suffix: a short fixed stem instead.
        const std::string Stem = Name.size() > 200 ? ".zantrix" : "." + Name;
        for (int Try = 0; Try < 100; ++Try) {
            char Suffix[16];
            std::snprintf(Suffix, sizeof Suffix, ".%08x~", static_cast<unsigned>(Rng()));
            FPath = Dir + Stem + Suffix;
            const int Fd = ::open(FPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (Fd >= 0) {
                FFile.Reset(Fd);
                return;
            }
            if (errno != EEXIST) throw IoError(errno, TIoStep::Write);
        }
        throw IoError(EEXIST, TIoStep::Write);
    }
    ~TTempFile() {
        FFile.Reset(-1);
        if (!FKept) ::unlink(FPath.c_str());
    }
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;

    int Fd() const { return FFile.Get(); }
    const std::string& Path() const { return FPath; }
    int Close() { return FFile.Close(); }
    void Keep() { FKept = true; }

private:
    TFileHandle FFile;
    std::string FPath;
    bool FKept = false;
};

// Makes a rename durable: the directory entry reaches the disk (best effort).
void SyncDirectory(const std::string& Dir) {
    const int Fd = ::open(Dir.empty() ? "." : Dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Fd < 0) return;
    (void)::fsync(Fd);
    ::close(Fd);
}

// ---------------------------------------------------------------------------------------------
// Form data

bool SameText(std::string_view A, std::string_view B) {
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
               return std::tolower(static_cast<unsigned char>(X)) ==
                      std::tolower(static_cast<unsigned char>(Y));
           });
}

// A string of form data: 'text' with doubled quotes inside.
std::string QuoteString(std::string_view S) {
    std::string Out = "'";
    for (char C : S) {
        Out += C;
        if (C == '\'') Out += '\'';
    }
    return Out + "'";
}

bool UnquoteString(std::string_view V, std::string& Out) {
    if (V.size() < 2 || V.front() != '\'' || V.back() != '\'') return false;
    Out.clear();
    for (std::size_t I = 1; I + 1 < V.size(); ++I) {
        Out += V[I];
        if (V[I] == '\'') {
            if (I + 2 >= V.size() || V[I + 1] != '\'') return false;
            ++I;
        }
    }
    return true;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Properties

TKroCustomTextFileEditor::TKroCustomTextFileEditor(TKroComponent* Owner, IKroWindow* Window)
    : TKroCustomEditor(Owner, Window) {}

void TKroCustomTextFileEditor::SetBackupExt(std::string_view Value) {
    // The backup goes beside the file, never elsewhere.
    if (Value.find('/') != std::string_view::npos || Value.find('\0') != std::string_view::npos)
        return;
    FBackupExt = std::string(Value.substr(0, 3));
}

void TKroCustomTextFileEditor::SetFileName(std::string_view Value) {
    std::string Name = NormalizeFileName(Value);
    if (Name == FFileName) return;
    FIsOpen = false;
    FFileName = std::move(Name);
}

void TKroCustomTextFileEditor::SetIsOpen(bool Value) {
    if (Value == FIsOpen || FFileName.empty()) return;
    FIsOpen = Value;
    if (Loading()) return; // the file is read when the window is created
    if (Value) {
        LoadFromFile(FFileName);
    } else {
        ClearText(true);
        FullRefresh(true);
    }
}

void TKroCustomTextFileEditor::NewFile(std::string_view Name) {
    ClearText(true);
    FullRefresh(true);
    SetFileName(Name);
    FIsOpen = false; // also when the name was the same
}

void TKroCustomTextFileEditor::CreateWnd() {
    TKroCustomEditor::CreateWnd();
    if (FIsOpen) LoadFromFile(FFileName);
}

void TKroCustomTextFileEditor::Attach(TKroCustomEditor* Editor) {
    if (!HasWindow() || !Editor) return;
    auto& Other = dynamic_cast<TKroCustomTextFileEditor&>(*Editor);
    TKroCustomEditor::Attach(Editor);
    SetFileName(Other.FileName());
}

void TKroCustomTextFileEditor::Detach() {
    const bool Shared = NextEditor() != this;
    TKroCustomEditor::Detach();
    if (!Shared) return;
    FIsOpen = false;
    FFileName.clear();
}

std::string TKroCustomTextFileEditor::NormalizeFileName(std::string_view Name) {
    if (Name.size() >= 2 && Name.back() == '.') Name.remove_suffix(1);
    return std::string(Name);
}

std::string TKroCustomTextFileEditor::BackupFileName(std::string_view Name, std::string_view Ext) {
    const std::size_t Slash = Name.rfind('/');
    const std::size_t Base = Slash == std::string_view::npos ? 0 : Slash + 1;
    const std::size_t Dot = Name.rfind('.');
    std::string Out(Name);
    if (Dot != std::string_view::npos && Dot > Base) Out.resize(Dot);
    return Out + "." + std::string(Ext);
}

// ---------------------------------------------------------------------------------------------
// Loading

void TKroCustomTextFileEditor::LoadFromFile(std::string_view Name) {
    if (Name.empty()) return;
    FFileName = NormalizeFileName(Name);
    bool Cleared = false;
    try {
        TKroBusyCursor Busy;
        FLoadReport = {};
        CheckName(FFileName);
        // Opened without waiting, so a pipe without a writer cannot hang the load; only a
        // regular file is a document (a pipe or device could block or never end).
        TFileHandle File(::open(FFileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        if (File.Get() < 0) throw IoError(errno, TIoStep::Read);
        struct stat St;
        if (::fstat(File.Get(), &St) != 0) throw IoError(errno, TIoStep::Read);
        if (!S_ISREG(St.st_mode)) throw EInOutError(5);
        (void)::fcntl(File.Get(), F_SETFL, ::fcntl(File.Get(), F_GETFL) & ~O_NONBLOCK);
        (void)::posix_fadvise(File.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
        if (HasWindow()) {
            ClearText(true);
            Cleared = true;
        }
        // The lines go straight into the document: no undo, no notifications, no repaint
        // until the one refresh at the end. ReadOnly does not keep a file from being shown.
        TKroLoadReport Report;
        ForEachLine(File.Get(), [&](const char* Text, std::size_t Len) {
            std::int32_t Pieces = 0;
            const TResultCode R = AppendParas(std::string_view(Text, Len), Pieces, true);
            ++Report.Lines;
            if (Pieces > 1) ++Report.SplitLines;
            if (R != erOK) ++Report.LinesLeftOut;
        });
        FLoadReport = Report;
        FullRefresh(true);
    } catch (...) {
        const bool WasOpen = FIsOpen;
        SetIsOpen(false); // an open document is cleared
        // Never leave part of a file behind as if it were the whole.
        if (!WasOpen && Cleared && !Loading()) ClearText(true);
        if (Loading()) return;
        throw;
    }
    FIsOpen = true;
}

// ---------------------------------------------------------------------------------------------
// Saving

void TKroCustomTextFileEditor::SaveToFile(std::string_view Name) {
    if (Name.empty()) return;
    // The name is normalised as FileName stores it, so a save goes where FileName points.
    const std::string Target = NormalizeFileName(Name);
    {
        TKroBusyCursor Busy;
        WriteFile(Target);
    }
    SetModified(false);
}

void TKroCustomTextFileEditor::WriteFile(const std::string& Name) {
    CheckName(Name);
    // Through a symbolic link the file it points to is replaced; the link stays a link.
    const std::string Path = FollowLinks(Name);
    struct stat St;
    const bool Exists = ::stat(Path.c_str(), &St) == 0;
    if (Exists && S_ISDIR(St.st_mode)) throw EInOutError(5);
    const std::string Dir = DirectoryPart(Path);
    const std::string Base = NamePart(Path);
    if (Base.empty()) throw EInOutError(3);

    // A device or pipe is not a document to replace, and a file its owner made read-only is
    // not replaced behind their back (renaming would allow it).
    if (Exists && !S_ISREG(St.st_mode)) throw EInOutError(5);
    if (Exists && ::access(Path.c_str(), W_OK) != 0) throw IoError(errno, TIoStep::Write);

    TTempFile Temp(Dir, Base);
    if (Exists) {
        // The new file takes the old one's owner (where allowed) and permission bits.
        if (St.st_uid != ::geteuid() || St.st_gid != ::getegid())
            (void)::fchown(Temp.Fd(), St.st_uid, St.st_gid);
        (void)::fchmod(Temp.Fd(), St.st_mode & 07777);
    }
    {
        TWriteBuffer Out(Temp.Fd());
        for (const TParaNode* N = ParaList().FirstNode(); N; N = N->Next()) {
            // The empty paragraph after the last line end is not a line of the file.
            if (!N->Next() && N->Length() == 0) break;
            Out.Put(N->Text(), N->Length());
            Out.Put("\r\n", 2);
        }
        Out.Flush();
    }
    if (::fsync(Temp.Fd()) != 0) throw IoError(errno, TIoStep::Write);
    if (Temp.Close() != 0) throw IoError(errno, TIoStep::Write);

    // The backup: the old file under the backup name. A second link keeps the old file in
    // place until the new one replaces it; where links are not possible it is renamed.
    // Failures here do not stop the save.
    bool Moved = false;
    std::string Backup;
    if (FMakeBackup && Exists) {
        Backup = BackupFileName(Path, FBackupExt);
        if (Backup != Path) {
            (void)::unlink(Backup.c_str());
            if (::link(Path.c_str(), Backup.c_str()) != 0)
                Moved = ::rename(Path.c_str(), Backup.c_str()) == 0;
        }
    }
    if (::rename(Temp.Path().c_str(), Path.c_str()) != 0) {
        const int E = errno;
        if (Moved) (void)::rename(Backup.c_str(), Path.c_str());
        throw IoError(E, TIoStep::Write);
    }
    Temp.Keep();
    SyncDirectory(Dir);
}

// ---------------------------------------------------------------------------------------------
// Form data

bool TKroCustomTextFileEditor::ReadFormProperty(std::string_view Name, std::string_view Value) {
    std::string S;
    if (SameText(Name, "BackupExt") || SameText(Name, "FileName")) {
        if (!UnquoteString(Value, S)) return false;
        if (SameText(Name, "BackupExt"))
            SetBackupExt(S);
        else
            SetFileName(S);
        return true;
    }
    if (SameText(Name, "MakeBackup") || SameText(Name, "IsOpen")) {
        bool B;
        if (SameText(Value, "True"))
            B = true;
        else if (SameText(Value, "False"))
            B = false;
        else
            return false;
        if (SameText(Name, "MakeBackup"))
            SetMakeBackup(B);
        else
            SetIsOpen(B);
        return true;
    }
    return TKroCustomEditor::ReadFormProperty(Name, Value);
}

std::vector<std::pair<std::string, std::string>>
TKroCustomTextFileEditor::WriteFormProperties() const {
    auto Out = TKroCustomEditor::WriteFormProperties();
    if (FBackupExt != "BAK") Out.emplace_back("BackupExt", QuoteString(FBackupExt));
    if (!FFileName.empty()) Out.emplace_back("FileName", QuoteString(FFileName));
    if (FMakeBackup) Out.emplace_back("MakeBackup", "True");
    if (FIsOpen) Out.emplace_back("IsOpen", "True");
    return Out;
}

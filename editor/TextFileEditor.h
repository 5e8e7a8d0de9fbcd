// The editor control with a file: loading a text file, saving it safely with an optional backup
// copy, and starting an untitled document.
#pragma once

#include "CustomEditor.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What the latest load did with the file's lines.
struct TKroLoadReport {
    // Lines read from the file.
    std::int64_t Lines = 0;
    // Lines longer than ParaLengthLimit, each kept whole as several paragraphs.
    std::int64_t SplitLines = 0;
    // Lines the document limits (ByteLimit, ParaLimit) refused in whole or in part.
    std::int64_t LinesLeftOut = 0;
};

class TKroCustomTextFileEditor : public TKroCustomEditor {
public:
    explicit TKroCustomTextFileEditor(TKroComponent* Owner = nullptr, IKroWindow* Window = nullptr);

    // At most three characters; a value holding a path separator or a NUL is ignored.
    const std::string& BackupExt() const { return FBackupExt; }
    void SetBackupExt(std::string_view Value);
    const std::string& FileName() const { return FFileName; }
    // The same name again (after normalising) changes nothing; another name closes the file
    // without clearing the text.
    void SetFileName(std::string_view Value);
    bool MakeBackup() const { return FMakeBackup; }
    void SetMakeBackup(bool Value) { FMakeBackup = Value; }
    bool IsOpen() const { return FIsOpen; }
    // True loads FileName; false clears the document. Nothing without a file name, and nothing
    // more than the flag while the form is being read.
    void SetIsOpen(bool Value);

    // Reads the file into a fresh document (into the current one while there is no window).
    // Raises EInOutError; a failed load leaves an empty document and IsOpen false.
    virtual void LoadFromFile(std::string_view Name);
    // Writes the document with CR LF line ends through a temporary file renamed over Name, so
    // a failure leaves the old file whole; with MakeBackup the old file is kept under the
    // backup name. Clears Modified only when everything succeeded. Raises EInOutError.
    virtual void SaveToFile(std::string_view Name);
    // An empty document called Name, not open.
    void NewFile(std::string_view Name);

    // After the window exists, an open file is loaded.
    void CreateWnd() override;
    // Shares Editor's document and takes its file name; only once the window exists. Editor
    // must be a text file editor (std::bad_cast otherwise, before anything changes).
    void Attach(TKroCustomEditor* Editor) override;
    // Leaving a shared document leaves its file too: the empty document is untitled, so a
    // save cannot write it over the file the others still show.
    void Detach() override;

    // What the latest load read, split and left out, for the application to tell the user.
    const TKroLoadReport& LoadReport() const { return FLoadReport; }

    // The file properties from form data, then the control's own (see TKroCustomEditor).
    bool ReadFormProperty(std::string_view Name, std::string_view Value);
    std::vector<std::pair<std::string, std::string>> WriteFormProperties() const;

    // One period at the end of a name of two or more characters is removed.
    static std::string NormalizeFileName(std::string_view Name);
    // Name with its extension replaced by "." + Ext (a leading period of the file's name does
    // not start an extension).
    static std::string BackupFileName(std::string_view Name, std::string_view Ext);

private:
    void ReadFile(const std::string& Name);
    void WriteFile(const std::string& Name);

    std::string FBackupExt = "BAK";
    std::string FFileName;
    bool FMakeBackup = false;
    bool FIsOpen = false;
    TKroLoadReport FLoadReport;
};

// The text file editor the application places on its window: the same class, all published.
class TKroTextFileEditor : public TKroCustomTextFileEditor {
public:
    using TKroCustomTextFileEditor::TKroCustomTextFileEditor;
};

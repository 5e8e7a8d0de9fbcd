// One measuring session: one editor, one file, every operation once, in a process of its own.
#pragma once

#include "Operations.h"

#include <QString>

#include <string>

namespace zbench {

struct SessionOptions {
    std::string editor; // an EditorInfo key
    QString file;       // the generated text
    QString workDir;    // where the saved copy goes
    SessionShape shape;
};

// Runs the session inside a running QApplication and prints one line per result on stdout:
// "result KEY VALUE" (seconds or bytes), "info KEY TEXT", "warn TEXT" (a
// finding that does not fail the run) and "error TEXT". Returns the exit code.
int RunSession(const SessionOptions& options);

} // namespace zbench

// Messages of the exceptions that are built from a code.
#include "KroExceptions.h"

#include "ResultCodes.h"

EEditorError::EEditorError(int Code) : EKroException(ResultCodeMessage(Code), Code) {}

namespace {
std::string InOutMessage(int Code) {
    switch (Code) {
    case 2:
        return "File not found";
    case 3:
        return "Invalid filename";
    case 4:
        return "Too many open files";
    case 5:
        return "File access denied";
    case 100:
        return "Read beyond end of file";
    case 101:
        return "Disk full";
    case 106:
        return "Invalid numeric input";
    default:
        return "I/O error " + std::to_string(Code);
    }
}
} // namespace

EInOutError::EInOutError(int Code) : EKroException(InOutMessage(Code), Code) {}

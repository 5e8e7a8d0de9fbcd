// The library's exception family: one tree rooted at EKroException, each carrying a code.
#pragma once

#include <stdexcept>
#include <string>

class EKroException : public std::runtime_error {
public:
    explicit EKroException(const std::string& Message, int Code = 0)
        : std::runtime_error(Message), FCode(Code) {}
    int Code() const noexcept { return FCode; }

private:
    int FCode;
};

class EControllerError : public EKroException {
public:
    using EKroException::EKroException;
};

class ENoControllerAssigned : public EControllerError {
public:
    ENoControllerAssigned() : EControllerError("No Controller assigned") {}
};

class ECmdProcessorError : public EKroException {
public:
    using EKroException::EKroException;
};

class EDuplicateCommand : public ECmdProcessorError {
public:
    EDuplicateCommand()
        : ECmdProcessorError("Duplicate command found while adding a new command to the table") {}
};

class ETableNotFound : public ECmdProcessorError {
public:
    ETableNotFound()
        : ECmdProcessorError("Command table not found or command table index out of range") {}
};

// Raised by the editor's error report: the message of a result code, and the code.
class EEditorError : public EKroException {
public:
    explicit EEditorError(int Code);

protected:
    EEditorError(const std::string& Message, int Code) : EKroException(Message, Code) {}
};

class EInvalidLineOrCol : public EEditorError {
public:
    EInvalidLineOrCol() : EEditorError("Invalid line or column", 0) {}
};

class EInvalidLineOrPara : public EEditorError {
public:
    EInvalidLineOrPara() : EEditorError("Invalid line or paragraph index", 0) {}
};

class EFixedFontError : public EKroException {
public:
    using EKroException::EKroException;
};

class EInvalidFixedFont : public EFixedFontError {
public:
    EInvalidFixedFont() : EFixedFontError("Invalid font assignment. Font must be a fixed font") {}
};

class EInvalidFontParam : public EFixedFontError {
public:
    EInvalidFontParam()
        : EFixedFontError("Invalid font assignemnt. Font must be a TFont or TKroFixedFont") {}
};

// The run-time library's input/output error: file operations and numeric parsing of table files.
// Code is the run-time error number (2 "File not found", 5 "File access denied", 101 "Disk full",
// 106 "Invalid numeric input", ...).
class EInOutError : public EKroException {
public:
    explicit EInOutError(int Code);
    EInOutError(const std::string& Message, int Code) : EKroException(Message, Code) {}
};

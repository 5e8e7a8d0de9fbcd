// Link placeholders for the control's overridable operations whose files are not in the library
// yet (editing, clipboard, search, dispatch, painting). They are weak: the library's own
// definitions replace them as soon as those files exist, and this file can then be deleted.
// None of the tests here calls them; a call is a test bug and fails loudly.
#include "CustomEditor.h"

#include <stdexcept>

namespace {
[[noreturn]] void NotInThisBuild(const char* What) {
    throw std::logic_error(std::string(What) + " is not part of this test build");
}
} // namespace

#define ZX_WEAK __attribute__((weak))

ZX_WEAK void TKroCustomEditor::Undo() {
    NotInThisBuild("Undo");
}
ZX_WEAK void TKroCustomEditor::Redo() {
    NotInThisBuild("Redo");
}
ZX_WEAK void TKroCustomEditor::CopyToClipboard() {
    NotInThisBuild("CopyToClipboard");
}
ZX_WEAK void TKroCustomEditor::CutToClipboard() {
    NotInThisBuild("CutToClipboard");
}
ZX_WEAK void TKroCustomEditor::PasteFromClipboard() {
    NotInThisBuild("PasteFromClipboard");
}
ZX_WEAK int TKroCustomEditor::Replace(std::string_view, std::string_view, TSearchFlags) {
    NotInThisBuild("Replace");
}
ZX_WEAK bool TKroCustomEditor::ProcessCommand(TKroCommand, std::uint8_t) {
    NotInThisBuild("ProcessCommand");
}
ZX_WEAK bool TKroCustomEditor::DrawLine(IKroSurface&, const TKroRect&, const char*, std::int32_t,
                                        std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                        std::int32_t, std::int32_t, std::int32_t) {
    NotInThisBuild("DrawLine");
}
ZX_WEAK void TKroCustomEditor::DoOnUserCommand(TKroCommand) {
    NotInThisBuild("DoOnUserCommand");
}

// The controller component.
#include "Controller.h"

TKroController::TKroController(TKroComponent* Owner)
    : TKroComponent(Owner), FEntryCommands(std::make_unique<TKroCommandProcessor>()) {
    AnnounceInsert();
}

TKroController::~TKroController() = default;

void TKroController::SetEpoch(int Value) {
    if (Value != FEpoch && Value >= 1600 && Value <= 3999) FEpoch = Value;
}

void TKroController::SetButton(TKroComponent*& Field, TKroComponent* Value) {
    // The old button stays registered: its notice is harmless, and it may watch this controller.
    Field = Value;
    if (Value) FreeNotification(Value);
}

void TKroController::Notification(TKroComponent* Component, TOperation Operation) {
    TKroComponent::Notification(Component, Operation);
    if (Operation != TOperation::opRemove) return;
    if (Component == FBtnCancel) FBtnCancel = nullptr;
    if (Component == FBtnHelp) FBtnHelp = nullptr;
    if (Component == FBtnRestore) FBtnRestore = nullptr;
}

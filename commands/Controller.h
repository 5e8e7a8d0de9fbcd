// The controller: owns the command processor shared by its controls and the saved insert mode.
#pragma once

#include "CommandProcessor.h"
#include "KroBase.h"

#include <memory>

class TKroController : public TKroComponent {
public:
    // Creates the processor with the built-in tables; Epoch 1900; saved insert mode on.
    explicit TKroController(TKroComponent* Owner = nullptr);
    ~TKroController() override;

    TKroCommandProcessor& EntryCommands() { return *FEntryCommands; }
    const TKroCommandProcessor& EntryCommands() const { return *FEntryCommands; }

    // Century base for two-digit years; a new value is taken only inside 1600..3999.
    int Epoch() const { return FEpoch; }
    void SetEpoch(int Value);

    // Insert mode handed from the editor losing the focus to the one gaining it.
    bool SavedInsertMode() const { return FSavedInsertMode; }
    void SetSavedInsertMode(bool Value) { FSavedInsertMode = Value; }

    // Buttons of a data-entry form; cleared when the button is destroyed.
    TKroComponent* BtnCancel() const { return FBtnCancel; }
    void SetBtnCancel(TKroComponent* Value) { SetButton(FBtnCancel, Value); }
    TKroComponent* BtnHelp() const { return FBtnHelp; }
    void SetBtnHelp(TKroComponent* Value) { SetButton(FBtnHelp, Value); }
    TKroComponent* BtnRestore() const { return FBtnRestore; }
    void SetBtnRestore(TKroComponent* Value) { SetButton(FBtnRestore, Value); }

protected:
    void Notification(TKroComponent* Component, TOperation Operation) override;

private:
    void SetButton(TKroComponent*& Field, TKroComponent* Value);

    std::unique_ptr<TKroCommandProcessor> FEntryCommands;
    int FEpoch = 1900;
    bool FSavedInsertMode = true;
    TKroComponent* FBtnCancel = nullptr;
    TKroComponent* FBtnHelp = nullptr;
    TKroComponent* FBtnRestore = nullptr;
};

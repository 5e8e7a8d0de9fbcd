// The controller, the ownership model and the base control's controller rules.
#include "Controller.h"
#include "KroExceptions.h"

#include <gtest/gtest.h>

TEST(Controller, Defaults) {
    TKroController Ctl;
    EXPECT_EQ(Ctl.Epoch(), 1900);
    EXPECT_TRUE(Ctl.SavedInsertMode());
    EXPECT_EQ(Ctl.EntryCommands().Count(), 3);
    EXPECT_EQ(Ctl.EntryCommands().PendingState(), 0);
    EXPECT_EQ(Ctl.EntryCommands().Tables(0).TableName(), "Default");
}

TEST(Controller, EpochAcceptsOnly1600To3999) {
    TKroController Ctl;
    Ctl.SetEpoch(1599);
    EXPECT_EQ(Ctl.Epoch(), 1900);
    Ctl.SetEpoch(4000);
    EXPECT_EQ(Ctl.Epoch(), 1900);
    Ctl.SetEpoch(2000);
    EXPECT_EQ(Ctl.Epoch(), 2000);
    Ctl.SetEpoch(1600);
    EXPECT_EQ(Ctl.Epoch(), 1600);
    Ctl.SetEpoch(3999);
    EXPECT_EQ(Ctl.Epoch(), 3999);
}

TEST(Controller, ButtonReferencesClearWhenButtonGoes) {
    TKroForm Form;
    auto* Ctl = new TKroController(&Form);
    auto* Button = new TKroComponent(&Form);
    Ctl->SetBtnHelp(Button);
    Ctl->SetBtnCancel(Button);
    delete Button;
    EXPECT_EQ(Ctl->BtnHelp(), nullptr);
    EXPECT_EQ(Ctl->BtnCancel(), nullptr);
    EXPECT_EQ(Form.ComponentCount(), 1);
}

TEST(BaseControl, WithoutAnyControllerWindowCreationRaises) {
    TKroForm Form;
    auto* Editor = new TKroBase(&Form);
    Editor->SetParent(&Form);
    try {
        Editor->HandleNeeded();
        FAIL() << "no exception";
    } catch (const ENoControllerAssigned& E) {
        EXPECT_STREQ(E.what(), "No Controller assigned");
    }
    EXPECT_FALSE(Editor->HandleAllocated());
    EXPECT_THROW(Editor->CreateWnd(), EControllerError);
}

TEST(BaseControl, WindowCreationTakesFirstControllerOfParentForm) {
    TKroForm Form;
    auto* Panel = new TKroControl(&Form);
    Panel->SetParent(&Form);
    auto* Editor = new TKroBase(&Form);
    Editor->SetParent(Panel); // the nearest form up the parent chain counts
    Editor->SetController(nullptr);
    // Controllers created with an owner are taken at once; these belong to another owner.
    TKroComponent Elsewhere;
    auto* First = new TKroController(&Elsewhere);
    auto* Second = new TKroController(&Elsewhere);
    Form.RemoveComponent(Editor);
    Form.InsertComponent(First);
    Form.InsertComponent(Second);
    Form.InsertComponent(Editor);
    EXPECT_EQ(Editor->Controller(), nullptr);
    EXPECT_EQ(Editor->ParentForm(), &Form);
    Editor->CreateWnd();
    EXPECT_EQ(Editor->Controller(), First);
    EXPECT_TRUE(Editor->HandleAllocated());

    // Without a parent form nothing is searched.
    auto* Orphan = new TKroBase(&Form);
    EXPECT_EQ(Orphan->ParentForm(), nullptr);
    EXPECT_THROW(Orphan->CreateWnd(), ENoControllerAssigned);
}

TEST(BaseControl, WhileLoadingNoControllerIsSearched) {
    TKroForm Form;
    TKroComponent Elsewhere;
    auto* Ctl = new TKroController(&Elsewhere);
    auto* Editor = new TKroBase(&Form);
    Editor->SetParent(&Form);
    Editor->SetLoading(true);
    Form.RemoveComponent(Editor);
    Form.InsertComponent(Editor);
    // The controller joins the form; the editor takes it on arrival, so forget it again.
    Elsewhere.RemoveComponent(Ctl);
    Form.InsertComponent(Ctl);
    EXPECT_EQ(Editor->Controller(), Ctl);
    Editor->SetController(nullptr);
    EXPECT_THROW(Editor->CreateWnd(), ENoControllerAssigned);
    Editor->SetLoading(false);
    Editor->CreateWnd();
    EXPECT_EQ(Editor->Controller(), Ctl);
}

TEST(BaseControl, ControllerDroppedOntoFormIsTakenAndDropsOut) {
    TKroForm Form;
    auto* Editor = new TKroBase(&Form);
    auto* Other = new TKroBase(&Form);
    auto* First = new TKroController(&Form); // announced when complete
    EXPECT_EQ(Editor->Controller(), First);
    EXPECT_EQ(Other->Controller(), First);

    // A second controller does not replace an assigned one.
    auto* Second = new TKroController(&Form);
    EXPECT_EQ(Editor->Controller(), First);
    Other->SetController(Second);

    // Destroying the controller clears the reference of every control that used it.
    delete First;
    EXPECT_EQ(Editor->Controller(), nullptr);
    EXPECT_EQ(Other->Controller(), Second);

    // Removing it from the owner clears it as well, even while it stays alive.
    TKroComponent Keeper;
    Form.RemoveComponent(Second);
    Keeper.InsertComponent(Second);
    EXPECT_EQ(Other->Controller(), nullptr);

    // A controller assigned across owners is still dropped when it is destroyed.
    Editor->SetController(Second);
    delete Second;
    EXPECT_EQ(Editor->Controller(), nullptr);
}

TEST(Ownership, OwnerDestroysWhatItOwnsAndParentsUnlink) {
    auto Form = std::make_unique<TKroForm>();
    auto* Editor = new TKroBase(Form.get());
    auto* Ctl = new TKroController(Form.get());
    Editor->SetParent(Form.get());
    EXPECT_EQ(Form->ComponentCount(), 2);
    EXPECT_EQ(Form->ControlCount(), 1);
    EXPECT_EQ(Editor->Controller(), Ctl);
    EXPECT_EQ(Ctl->Owner(), Form.get());

    // A control outside the form, parented on it, survives the form and loses its parent.
    TKroBase Outside;
    Outside.SetParent(Form.get());
    Outside.SetController(Ctl);
    EXPECT_THROW(Form->SetParent(&Outside), std::invalid_argument);
    Form.reset(); // would leak or double free under the sanitizers if ownership were wrong
    EXPECT_EQ(Outside.Parent(), nullptr);
    EXPECT_EQ(Outside.Controller(), nullptr);
    EXPECT_THROW(Outside.Components(0), std::out_of_range);
}

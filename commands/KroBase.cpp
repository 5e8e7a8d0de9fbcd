// Ownership and notification of components, parents of controls, and the controller rules of the
// base control.
#include "KroBase.h"
#include "Controller.h"
#include "KroExceptions.h"

#include <algorithm>
#include <stdexcept>

namespace {
template <class T> void Erase(std::vector<T*>& List, T* Item) {
    List.erase(std::remove(List.begin(), List.end(), Item), List.end());
}
} // namespace

TKroComponent::TKroComponent(TKroComponent* Owner) : FOwner(Owner) {
    if (FOwner) FOwner->FComponents.push_back(this);
}

TKroComponent::~TKroComponent() {
    // Those who asked are told first, while the owner's list still holds this component.
    while (!FFreeNotifies.empty()) {
        TKroComponent* Other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        Erase(Other->FFreeNotifies, this);
        Other->Notification(this, TOperation::opRemove);
    }
    // Owned components go last first; each leaves this list quietly.
    while (!FComponents.empty()) {
        TKroComponent* Child = FComponents.back();
        FComponents.pop_back();
        Child->FOwner = nullptr;
        delete Child;
    }
    if (FOwner) FOwner->RemoveComponent(this);
}

TKroComponent* TKroComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    return FComponents[static_cast<std::size_t>(Index)];
}

void TKroComponent::InsertComponent(TKroComponent* Component) {
    if (!Component || Component->FOwner == this) return;
    if (Component->FOwner) Component->FOwner->RemoveComponent(Component);
    FComponents.push_back(Component);
    Component->FOwner = this;
    Notification(Component, TOperation::opInsert);
}

void TKroComponent::RemoveComponent(TKroComponent* Component) {
    if (!Component || Component->FOwner != this) return;
    Notification(Component, TOperation::opRemove);
    Erase(FComponents, Component);
    Component->FOwner = nullptr;
}

void TKroComponent::AnnounceInsert() {
    if (FOwner) FOwner->Notification(this, TOperation::opInsert);
}

void TKroComponent::FreeNotification(TKroComponent* Component) {
    if (!Component || Component == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), Component) == FFreeNotifies.end()) {
        FFreeNotifies.push_back(Component);
        Component->FFreeNotifies.push_back(this);
    }
}

void TKroComponent::RemoveFreeNotification(TKroComponent* Component) {
    if (!Component) return;
    Erase(FFreeNotifies, Component);
    Erase(Component->FFreeNotifies, this);
}

void TKroComponent::SetLoading(bool Value) {
    const bool Was = FLoading;
    FLoading = Value;
    if (Was && !Value) Loaded();
}

void TKroComponent::Notification(TKroComponent* Component, TOperation Operation) {
    // Every owned component hears of it too. A copy: a listener may change the list.
    const std::vector<TKroComponent*> Owned = FComponents;
    for (TKroComponent* C : Owned)
        if (std::find(FComponents.begin(), FComponents.end(), C) != FComponents.end())
            C->Notification(Component, Operation);
}

TKroControl::TKroControl(TKroComponent* Owner) : TKroComponent(Owner) {}

TKroControl::~TKroControl() {
    SetParent(nullptr);
    for (TKroControl* Child : FControls)
        Child->FParent = nullptr;
}

void TKroControl::SetParent(TKroControl* Value) {
    if (Value == FParent) return;
    for (TKroControl* P = Value; P; P = P->FParent)
        if (P == this) throw std::invalid_argument("A control cannot be its own parent");
    if (FParent) Erase(FParent->FControls, this);
    FParent = Value;
    if (FParent) FParent->FControls.push_back(this);
}

TKroBase::TKroBase(TKroComponent* Owner) : TKroControl(Owner) {}

void TKroBase::SetController(TKroController* Value) {
    // An old controller stays registered; its notice only clears a reference it no longer is.
    FController = Value;
    if (FController) FreeNotification(FController);
}

TKroForm* TKroBase::ParentForm() const {
    for (TKroControl* P = Parent(); P; P = P->Parent())
        if (auto* Form = dynamic_cast<TKroForm*>(P)) return Form;
    return nullptr;
}

void TKroBase::CreateWnd() {
    if (!FController && !Loading()) {
        if (TKroForm* Form = ParentForm()) {
            for (int I = 0; I < Form->ComponentCount() && !FController; ++I)
                if (auto* C = dynamic_cast<TKroController*>(Form->Components(I))) SetController(C);
        }
    }
    if (!FController) throw ENoControllerAssigned();
    FHandleAllocated = true;
}

void TKroBase::HandleNeeded() {
    if (!FHandleAllocated) CreateWnd();
}

void TKroBase::Notification(TKroComponent* Component, TOperation Operation) {
    TKroControl::Notification(Component, Operation);
    if (Operation == TOperation::opRemove && Component == FController)
        SetController(nullptr);
    else if (Operation == TOperation::opInsert && !FController)
        if (auto* C = dynamic_cast<TKroController*>(Component)) SetController(C);
}

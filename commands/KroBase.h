// Components with owners, controls with parents, forms, and the base of the windowed controls.
#pragma once

#include <string>
#include <vector>

class TKroController;

enum class TOperation { opInsert, opRemove };

// Something that lives on a form. An owner destroys what it owns; a component is told, through
// Notification, when a component is inserted into or removed from its owner and when a
// component it asked FreeNotification of goes away.
class TKroComponent {
public:
    // Joins Owner's components (quietly: no opInsert notice; see AnnounceInsert).
    explicit TKroComponent(TKroComponent* Owner = nullptr);
    virtual ~TKroComponent();
    TKroComponent(const TKroComponent&) = delete;
    TKroComponent& operator=(const TKroComponent&) = delete;

    TKroComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TKroComponent* Components(int Index) const;

    // Takes ownership of Component (leaving its old owner) and tells every owned component.
    void InsertComponent(TKroComponent* Component);
    // Tells every owned component, then gives up ownership; Component stays alive.
    void RemoveComponent(TKroComponent* Component);

    // Asks to be told (opRemove) when Component is destroyed.
    void FreeNotification(TKroComponent* Component);
    void RemoveFreeNotification(TKroComponent* Component);

    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }

    // Set while the component's stored values are read from its form; clearing it calls Loaded.
    bool Loading() const { return FLoading; }
    void SetLoading(bool Value);

protected:
    // Tells the owner's components that this one has arrived; classes whose arrival others react
    // to call it at the end of their constructor, when the object is complete.
    void AnnounceInsert();
    virtual void Notification(TKroComponent* Component, TOperation Operation);
    virtual void Loaded() {}

private:
    void Unlink(TKroComponent* Component);

    TKroComponent* FOwner = nullptr;
    std::vector<TKroComponent*> FComponents;
    std::vector<TKroComponent*> FFreeNotifies;
    std::string FName;
    bool FLoading = false;
};

// A component that sits inside a parent control. The parent does not own it.
class TKroControl : public TKroComponent {
public:
    explicit TKroControl(TKroComponent* Owner = nullptr);
    ~TKroControl() override;

    TKroControl* Parent() const { return FParent; }
    void SetParent(TKroControl* Value);
    int ControlCount() const { return static_cast<int>(FControls.size()); }

private:
    TKroControl* FParent = nullptr;
    std::vector<TKroControl*> FControls;
};

// A top-level window that owns the components placed on it.
class TKroForm : public TKroControl {
public:
    explicit TKroForm(TKroComponent* Owner = nullptr) : TKroControl(Owner) {}
};

// The base of the library's windowed controls: holds the (not owned) controller and finds or
// demands one when its window is created.
class TKroBase : public TKroControl {
public:
    explicit TKroBase(TKroComponent* Owner = nullptr);

    TKroController* Controller() const { return FController; }
    void SetController(TKroController* Value);

    // The nearest parent control that is a form, or nullptr.
    TKroForm* ParentForm() const;

    // Creates the window: without a controller (and not loading) takes the first controller
    // owned by the parent form; raises ENoControllerAssigned when there is none.
    virtual void CreateWnd();
    bool HandleAllocated() const { return FHandleAllocated; }
    // Creates the window unless it exists.
    void HandleNeeded();

protected:
    void Notification(TKroComponent* Component, TOperation Operation) override;

private:
    TKroController* FController = nullptr;
    bool FHandleAllocated = false;
};

// The base of the published sub-objects: assignment between objects of compatible kinds.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

// The toolkit's refusal of an assignment between incompatible objects.
class EAssignError : public std::runtime_error {
public:
    EAssignError(const std::string& SourceClass, const std::string& DestClass)
        : std::runtime_error("Cannot assign a " + SourceClass + " to a " + DestClass) {}
};

class TKroPersistent;

// A change notification; Sender is the object that changed.
using TKroNotifyEvent = std::function<void(TKroPersistent& Sender)>;

class TKroPersistent {
public:
    virtual ~TKroPersistent() = default;
    virtual std::string ClassName() const = 0;
    // Copies Source into this object. The base asks Source to assign itself to this one and
    // raises EAssignError when neither side knows how.
    virtual void Assign(const TKroPersistent& Source) { Source.AssignTo(*this); }

protected:
    TKroPersistent() = default;
    TKroPersistent(const TKroPersistent&) = default;
    TKroPersistent& operator=(const TKroPersistent&) = default;
    virtual void AssignTo(TKroPersistent& Dest) const {
        throw EAssignError(ClassName(), Dest.ClassName());
    }
};

#pragma once
// An object whose state can be copied from another: Assign asks the source to copy itself
// into this object (AssignTo) when this class does not know the source.

#include "platform/classes/object.h"

class TPersistent : public TObject {
public:
    std::string ClassName() const override { return "TPersistent"; }

    // Overrides copy what they know and call the inherited Assign for anything else.
    // Unknown pairs raise EConvertError "Cannot assign a <source> to a <dest>".
    virtual void Assign(TPersistent* Source);

protected:
    virtual void AssignTo(TPersistent* Dest);

private:
    [[noreturn]] void AssignError(TPersistent* Source);
};

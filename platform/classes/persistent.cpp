#include "platform/classes/persistent.h"

#include "platform/rtl/exception.h"

void TPersistent::Assign(TPersistent* Source) {
    if (Source != nullptr) {
        Source->AssignTo(this);
    } else {
        AssignError(nullptr);
    }
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* Source) {
    std::string source_name = Source != nullptr ? Source->ClassName() : "nil";
    throw EConvertError("Cannot assign a " + source_name + " to a " + ClassName());
}

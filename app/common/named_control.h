#pragma once
// Controls found by a name made at run time: where the pages address a whole run of
// controls by number (the rows of the configuration page, the installation steps). A name
// that does not exist is a fault of the window's build, so it fails at once and says which.

#include <string>

#include "platform/classes/component.h"
#include "platform/rtl/exception.h"

class EControlNotFound : public Exception {
public:
    using Exception::Exception;
};

template <class T>
T* NamedControl(const TComponent& owner, const std::string& name) {
    if (T* control = dynamic_cast<T*>(owner.FindComponent(name))) return control;
    throw EControlNotFound(owner.Name() + "." + name + " is missing or of another class");
}

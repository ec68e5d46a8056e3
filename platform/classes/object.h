#pragma once
// The root of the class library's hierarchy. Objects are identities, not values: they are
// handed around by pointer and copied with Assign, never by the copy constructor.

#include <functional>
#include <string>

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // The class name the program's texts and catalogues are keyed on; every class overrides it.
    virtual std::string ClassName() const { return "TObject"; }
};

// The class library's plain event: firing an empty one does nothing.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// Calls the handler when one is set.
inline void FireNotify(const TNotifyEvent& event, TObject* sender) {
    if (event) event(sender);
}

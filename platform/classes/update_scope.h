#pragma once
// Holds the updates of a list or collection (BeginUpdate) for a scope and ends them
// (EndUpdate) however the scope is left, so a failed fill never leaves it locked.

#include "platform/rtl/scope_exit.h"

template <class T>
class TUpdateScope {
public:
    explicit TUpdateScope(T* target) : end_(Begin(target)) {}

private:
    struct End {
        T* target;
        void operator()() const { target->EndUpdate(); }
    };
    static End Begin(T* target) {
        target->BeginUpdate();
        return End{target};
    }
    TScopeExit<End> end_;
};

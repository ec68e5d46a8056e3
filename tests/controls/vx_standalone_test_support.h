#pragma once
// An in-place editor class as an ordinary control on a form (no container): the editor
// classes of the grid's columns have no stand-alone class of their own.

#include "controls/vx_inplace_edit.h"

template <class Editor, class EditorClass>
class StandAlone : public Editor {
    struct Class : EditorClass {
        bool IsInplace() const override { return false; }
        TvxInplaceEdit* Create(TComponent* AOwner) const override { return new StandAlone(AOwner); }
    };

public:
    static const Class& StaticClass() {
        static const Class instance;
        return instance;
    }
    explicit StandAlone(TComponent* AOwner) : Editor(AOwner, StaticClass()) {}
};

#pragma once
// A container for in-place editor tests: it allows editing and records the keys and
// column moves its editor hands over.

#include <cstdint>
#include <vector>

#include "controls/vx_container.h"

class TCellContainer : public TCustomvxContainer {
public:
    explicit TCellContainer(TComponent* owner) : TCustomvxContainer(owner) { SetBounds(0, 0, 300, 200); }
    bool CanEditModify() override { return canModify; }
    bool IsValidChar(char32_t) override { return true; }
    void MoveColumnFocus(bool Backward) override { columnMoves.push_back(Backward ? -1 : 1); }
    bool canModify = true;
    std::vector<uint16_t> keys;
    std::vector<int> columnMoves;

protected:
    void KeyDown(uint16_t& Key, TShiftState Shift) override {
        keys.push_back(Key);
        TCustomvxContainer::KeyDown(Key, Shift);
    }
};

#pragma once
// One request for the device, from its queuing to its end, and what answers it.
//
// The queue holds a request until the device takes it (it leaves in an answer frame) or it
// is withdrawn; the decoder marks it answered when the answer it asks for comes. A request
// that a wait queued (TDeviceWait) belongs to that wait; one that nobody waits for must be
// taken by its own deadline, or it is withdrawn and the device counts as lost.

#include <cstdint>
#include <string>

#include "platform/sync/clock_wait.h"

// What answers a request: nothing but being taken, a data record, the type answer "!", the
// result answer "(" or a block (FC 13). Record answers carry the record's type and index; the
// node list's two records (A0 00 and A0 FF) answer alike, as they clear the same flag. Block
// answers carry the block's number (0 inputs, 1 outputs) as their index.
struct TAnswer {
    enum class TKind : uint8_t { Taken, Record, DeviceType, Result, Block };
    TKind Kind = TKind::Taken;
    uint8_t Type = 0;
    uint8_t Index = 0;

    constexpr bool operator==(const TAnswer& o) const { return Kind == o.Kind && Type == o.Type && Index == o.Index; }
    constexpr bool operator!=(const TAnswer& o) const { return !(*this == o); }
};

// The answers the pages wait for, under the names of the await flags they stand for.
inline constexpr TAnswer AwaitDoorState{TAnswer::TKind::Record, 0x0D, 0x00};
inline constexpr TAnswer AwaitConfigBlock1{TAnswer::TKind::Record, 0x10, 0x00};
inline constexpr TAnswer AwaitConfigBlock2{TAnswer::TKind::Record, 0x10, 0x01};
inline constexpr TAnswer AwaitConfigBlock3{TAnswer::TKind::Record, 0x10, 0x02};
inline constexpr TAnswer AwaitTerminalSettings{TAnswer::TKind::Record, 0x0E, 0x20};
inline constexpr TAnswer AwaitSaveDone{TAnswer::TKind::Record, 0x12, 0x00};
inline constexpr TAnswer AwaitCodeCheck{TAnswer::TKind::Record, 0x30, 0x01};
inline constexpr TAnswer AwaitButtonState{TAnswer::TKind::Record, 0x51, 0x00};
inline constexpr TAnswer AwaitSlotErrors{TAnswer::TKind::Record, 0x52, 0x01};
inline constexpr TAnswer AwaitEmergencyCounters{TAnswer::TKind::Record, 0x53, 0x00};
inline constexpr TAnswer AwaitNodeList{TAnswer::TKind::Record, 0xA0, 0x00};
inline constexpr TAnswer AwaitOdReply{TAnswer::TKind::Record, 0xA1, 0x00};
inline constexpr TAnswer AwaitDeviceType{TAnswer::TKind::DeviceType, 0, 0};
inline constexpr TAnswer AwaitResult{TAnswer::TKind::Result, 0, 0};
inline constexpr TAnswer AwaitInputBlock{TAnswer::TKind::Block, 0x13, 0x00};
inline constexpr TAnswer AwaitOutputBlock{TAnswer::TKind::Block, 0x13, 0x01};

// The block exchanges of the configuration roads, in the order in which the frame engine
// serves them: an order goes ahead of everything else in the next answer frame. A read is
// answered by its block, a write (the block's text as it is when the order leaves) by the
// device's result answer.
enum class TBlockOrder : uint8_t { ReadInputs, ReadOutputs, WriteInputs, WriteOutputs };
inline constexpr int kBlockOrderCount = 4;

struct TDeviceRequest {
    enum class TState : uint8_t { Queued, Taken, Withdrawn };
    std::string Item;  // as the queue list shows it: the wait key and the data as a hex list
    std::string Data;
    TAnswer Answer;
    TState State = TState::Queued;
    bool Answered = false;
    // While queued: the tick by which the device must have taken it (kNoDeadline while a
    // wait answers for it).
    uint64_t Deadline = kNoDeadline;

    // Taken, and answered when it asks for more than that.
    bool Done() const { return State == TState::Taken && (Answered || Answer.Kind == TAnswer::TKind::Taken); }
};

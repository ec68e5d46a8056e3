#pragma once
// The state of the framed device link, shared by the frame engine, the request queue, the
// record decoder and the pages that read the device's records. One value, a member of the
// link, so its start values are written once: clearing it is assigning a fresh TLinkState.
// Window thread only.

#include <array>
#include <cstdint>
#include <string>

#include "link/device_records.h"

struct TLinkState {
    // Frame engine.
    std::string ReceiveBuffer;  // bytes since the last ETX
    bool LinkStopped = false;   // received bytes ignored, nothing written
    bool PortOpen = false;
    bool LinkClosing = false;    // a close is under way: nothing more is queued
    std::string PendingFrame;    // DATA of one answer to send once (the acknowledgement)
    int32_t ResultCode = 0;      // X of the last result answer
    int32_t DeviceTypeCode = 0;  // 0 while asking, -1 when no answer came
    std::string DeviceTypeAnswer;

    // The device records the decoder fills; the pages read them.
    TDoorSystemRecord DoorSystem;
    TNodeTable NodeTable;
    TTerminalSettings TerminalSettings;
    TOdReply OdReply;
    std::array<uint32_t, 13> SlotErrors{};       // 1..12
    std::array<uint8_t, 9> EmergencyCounters{};  // 1..8
    int32_t GrantedLevel = 0;
    std::array<uint8_t, 9> BoxButtonBytes{};              // 1..8
    std::array<std::array<uint8_t, 4>, 9> BoxBitWords{};  // 1..8
    std::string ButtonMap = std::string(8, ' ');          // 8 characters
    bool AllButtonsPressed = false;
    std::string BoxBitMap;

    // Trace.
    int32_t TraceLineCounter = 0;
    bool PrtShow = false;  // settings switch PRTSHOW: trace lines in the protocol window
    bool PrtProt = false;  // settings switch PRTPROT: frames to the "TOVAK-COM-" log

    // Derives ButtonMap, AllButtonsPressed and BoxBitMap from the button record (mode 1: one
    // byte per box, mode 2: with the KZN bit words).
    void BuildButtonMap(int mode);
};

#pragma once
// Types, result codes and message numbers shared by the port component and its dispatcher.

#include <cstdint>

enum TParity { pNone, pOdd, pEven, pMark, pSpace };
enum TDeviceLayer { dlWin16, dlFossil, dlWin32, dlWinsock };
enum THWFlowOptions { hwfUseDTR, hwfUseRTS, hwfRequireDSR, hwfRequireCTS };
using THWFlowOptionSet = uint8_t;  // bit (1 << THWFlowOptions)
enum TSWFlowOptions { swfNone, swfReceive, swfTransmit, swfBoth };
enum TTraceLogState { tlOff, tlOn, tlDump, tlAppend, tlClear, tlPause };
// Scoped: the drawing layer has its own tmAuto (a bitmap's transparent mode).
enum class TTapiMode { tmNone, tmAuto, tmOn, tmOff };
enum TPortState : uint8_t { psClosed = 0, psClosing = 1, psOpen = 2 };

// Result codes the layer's own operations produce.
constexpr int ecOK = 0;
constexpr int ecDeviceOpenFailed = -1;
constexpr int ecOutOfMemory = -8;
constexpr int ecBadArgument = -1002;
constexpr int ecBadId = -2001;
constexpr int ecNotOpen = -2007;
constexpr int ecAlreadyOpen = -2008;
constexpr int ecNoPortSelected = -2011;
constexpr int ecNotOpenedByTapi = -2012;
constexpr int ecNullApi = -3001;
constexpr int ecPutBlockFail = -3004;
constexpr int ecOutputBufferTooSmall = -3006;
constexpr int ecBufferIsEmpty = -3007;
constexpr int ecBaseAddressNotSet = -3010;

// Trigger messages from the dispatch thread to the component's window.
constexpr uint32_t APW_TRIGGERAVAIL = 0x7E01;
constexpr uint32_t APW_TRIGGERDATA = 0x7E02;
constexpr uint32_t APW_TRIGGERTIMER = 0x7E03;
constexpr uint32_t APW_TRIGGERSTATUS = 0x7E04;
constexpr uint32_t APW_PORTOPEN = 0x7E08;
constexpr uint32_t APW_PORTCLOSE = 0x7E09;
constexpr uint32_t APW_CLOSEPENDING = 0x7E0A;

// Status trigger types (the low 3 bits of a status trigger's handle).
constexpr uint32_t stModem = 1, stLine = 2, stOutFree = 3, stOutUsed = 4, stOutSent = 5;

// Line errors as GetLineError answers them; leDeviceLost marks a device that went away.
constexpr uint16_t leNoError = 0, leBuffer = 1, leOverrun = 2, leParity = 3, leFraming = 4, leBreak = 9,
                   leDeviceLost = 10;

constexpr uint32_t kInputRingSize = 8192;

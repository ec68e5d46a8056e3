#pragma once
// The state of the framed device link, shared by the frame engine, the request queue, the
// record decoder and the pages that wait on the device. Window thread only.

#include <cstdint>
#include <string>

#include "platform/rtl/date_time.h"

// Frame engine.
extern std::string ReceiveBuffer;   // bytes since the last ETX
extern bool LinkStopped;            // received bytes ignored, nothing written
extern bool PortOpen;
extern bool LinkBusy;               // a block or result exchange is outstanding
extern bool ReadInputsRequested;    // one-shot orders for the next answer frame
extern bool ReadOutputsRequested;
extern bool WriteInputsRequested;
extern bool WriteOutputsRequested;
extern std::string PendingFrame;    // DATA of one answer to send once (the acknowledgement)
extern int32_t ResultCode;          // X of the last result answer
extern bool AwaitResult;
extern int32_t DeviceTypeCode;      // 0 while asking, -1 when no answer came
extern std::string DeviceTypeAnswer;

// Await flags: set by a page before it queues a request, cleared by the matching record.
extern bool AwaitDoorState;
extern bool AwaitConfigBlock1;
extern bool AwaitConfigBlock2;
extern bool AwaitConfigBlock3;
extern bool AwaitTerminalSettings;
extern bool AwaitSaveDone;
extern bool AwaitCodeCheck;
extern bool AwaitButtonState;
extern bool AwaitSlotErrors;
extern bool AwaitEmergencyCounters;
extern bool AwaitNodeList;
extern bool AwaitOdReply;
extern bool AwaitDoorState24;

// Hold of the request queue (a request queued with a non-zero wait key).
extern bool MustWaitArmed;
extern uint8_t MustWaitKey[2];
extern TDateTime MustWaitSince;

// Trace.
extern int32_t TraceLineCounter;
extern bool PrtShow;  // settings switch PRTSHOW: trace lines in the protocol window
extern bool PrtProt;  // settings switch PRTPROT: frames to the "TOVAK-COM-" log

// The block orders and their busy flag. Cleared when the link opens and by a block step
// whose wait ended without its block, so an order never reaches the next device that polls.
void ClearBlockRequests();
// Only the four orders: a close withdraws them but leaves LinkBusy to the step that waits on
// it, which must see its exchange as unfinished, not as done.
void ClearBlockOrders();

// Everything above back to its start value (what the main window clears at creation).
void ClearLinkState();

// True while the frame engine handles a frame: window code reached from inside it must
// only repaint, never run other handlers, until the frame's one answer has gone out.
bool LinkFrameInProgress();

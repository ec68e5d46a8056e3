#include "link/link_state.h"

std::string ReceiveBuffer;
bool LinkStopped = false;
bool PortOpen = false;
bool LinkBusy = false;
bool ReadInputsRequested = false;
bool ReadOutputsRequested = false;
bool WriteInputsRequested = false;
bool WriteOutputsRequested = false;
std::string PendingFrame;
int32_t ResultCode = 0;
bool AwaitResult = false;
int32_t DeviceTypeCode = 0;
std::string DeviceTypeAnswer;

bool AwaitDoorState = false;
bool AwaitConfigBlock1 = false;
bool AwaitConfigBlock2 = false;
bool AwaitConfigBlock3 = false;
bool AwaitTerminalSettings = false;
bool AwaitSaveDone = false;
bool AwaitCodeCheck = false;
bool AwaitButtonState = false;
bool AwaitSlotErrors = false;
bool AwaitEmergencyCounters = false;
bool AwaitNodeList = false;
bool AwaitOdReply = false;
bool AwaitDoorState24 = false;

bool MustWaitArmed = false;
uint8_t MustWaitKey[2] = {0, 0};
TDateTime MustWaitSince = 0;

int32_t TraceLineCounter = 0;
bool PrtShow = false;
bool PrtProt = false;

void ClearBlockOrders() {
    ReadInputsRequested = false;
    ReadOutputsRequested = false;
    WriteInputsRequested = false;
    WriteOutputsRequested = false;
}

void ClearBlockRequests() {
    ClearBlockOrders();
    LinkBusy = false;
}

void ClearLinkState() {
    ReceiveBuffer.clear();
    LinkStopped = false;
    PortOpen = false;
    ClearBlockRequests();
    PendingFrame.clear();
    ResultCode = 0;
    AwaitResult = false;
    DeviceTypeCode = 0;
    DeviceTypeAnswer.clear();
    AwaitDoorState = AwaitConfigBlock1 = AwaitConfigBlock2 = AwaitConfigBlock3 = false;
    AwaitTerminalSettings = AwaitSaveDone = AwaitCodeCheck = AwaitButtonState = false;
    AwaitSlotErrors = AwaitEmergencyCounters = AwaitNodeList = AwaitOdReply = AwaitDoorState24 = false;
    MustWaitArmed = false;
    MustWaitKey[0] = MustWaitKey[1] = 0;
    MustWaitSince = 0;
    TraceLineCounter = 0;
}

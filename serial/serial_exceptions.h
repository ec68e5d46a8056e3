#pragma once
// The layer's exceptions: one class per result code, derived from a family class per
// thousand, each carrying the code and the text from the message table.

#include "platform/rtl/exception.h"

class TComponent;

class ESerialException : public Exception {
public:
    // ErrorCode := Code (negative, unchanged); the message is the table's text for it.
    explicit ESerialException(int Code);
    // The generic form: ErrorCode 0 and the given message.
    ESerialException(const std::string& Msg, int Code) : Exception(Msg), ErrorCode(Code) {}
    static ESerialException CreateUnknown(const std::string& Msg, int Code) { return ESerialException(Msg, Code); }
    int ErrorCode = 0;
};

#define TOVAK_SERIAL_CLASS(Name, Base) \
    class Name : public Base {         \
    public:                            \
        using Base::Base;              \
    }

TOVAK_SERIAL_CLASS(EGeneral, ESerialException);
TOVAK_SERIAL_CLASS(EOpenComm, ESerialException);
TOVAK_SERIAL_CLASS(ESerialIO, ESerialException);
TOVAK_SERIAL_CLASS(EModem, ESerialException);
TOVAK_SERIAL_CLASS(ETrigger, ESerialException);
TOVAK_SERIAL_CLASS(EProtocol, ESerialException);
TOVAK_SERIAL_CLASS(EINI, ESerialException);
TOVAK_SERIAL_CLASS(EFax, ESerialException);
TOVAK_SERIAL_CLASS(ETapi, ESerialException);

// The lists are tables, several entries a line: the formatter would break them mid-entry.
// clang-format off
// {code, class, family}
#define TOVAK_SERIAL_LEAVES(X)                                                                     \
    X(-1002, EBadArgument, EGeneral) X(-1003, EGotQuitMsg, EGeneral) X(-1004, EBufferTooBig, EGeneral) \
    X(-1005, EPortNotAssigned, EGeneral) X(-1006, EInternal, EGeneral)                             \
    X(-1007, EModemNotAssigned, EGeneral) X(-1008, EPhonebookNotAssigned, EGeneral)                \
    X(-1009, ECannotUseWithWinSock, EGeneral)                                                       \
    X(-2001, EBadId, EOpenComm) X(-2002, EBaudRate, EOpenComm) X(-2003, EByteSize, EOpenComm)       \
    X(-2004, EDefault, EOpenComm) X(-2005, EHardware, EOpenComm) X(-2006, EMemory, EOpenComm)       \
    X(-2007, ECommNotOpen, EOpenComm) X(-2008, EAlreadyOpen, EOpenComm)                             \
    X(-2009, ENoHandles, EOpenComm) X(-2010, ENoTimers, EOpenComm)                                  \
    X(-2011, ENoPortSelected, EOpenComm) X(-2012, ENotOpenedByTapi, EOpenComm)                      \
    X(-3001, ENullApi, ESerialIO) X(-3003, ERegisterHandlerFailed, ESerialIO)                       \
    X(-3004, EPutBlockFail, ESerialIO) X(-3005, EGetBlockFail, ESerialIO)                           \
    X(-3006, EOutputBufferTooSmall, ESerialIO) X(-3007, EBufferIsEmpty, ESerialIO)                  \
    X(-3008, ETracingNotEnabled, ESerialIO) X(-3009, ELoggingNotEnabled, ESerialIO)                 \
    X(-3010, EBaseAddressNotSet, ESerialIO)                                                         \
    X(-4001, EModemNotStarted, EModem) X(-4002, EModemBusy, EModem)                                 \
    X(-4003, EModemNotDialing, EModem) X(-4004, ENotDialing, EModem)                                \
    X(-4005, EAlreadyDialing, EModem) X(-4006, EModemNotResponding, EModem)                         \
    X(-4007, EModemRejectedCommand, EModem) X(-4008, EModemStatusMismatch, EModem)                  \
    X(-5002, ETriggerTooLong, ETrigger) X(-5003, EBadTriggerHandle, ETrigger)                       \
    X(-7001, EKeyTooLong, EINI) X(-7002, EDataTooLarge, EINI) X(-7004, EIniWrite, EINI)             \
    X(-7005, EIniRead, EINI) X(-7007, ERecordExists, EINI) X(-7008, ERecordNotFound, EINI)          \
    X(-7010, EDatabaseFull, EINI) X(-7011, EDatabaseEmpty, EINI) X(-7013, EBadFieldList, EINI)      \
    X(-7014, EBadFieldForIndex, EINI)                                                               \
    X(-8001, EFaxBadFormat, EFax) X(-8002, EBadGraphicsFormat, EFax) X(-8003, EConvertAbort, EFax)  \
    X(-8004, EUnpackAbort, EFax) X(-8005, ECantMakeBitmap, EFax) X(-8060, EFaxBadMachine, EFax)     \
    X(-8061, EFaxBadModemResult, EFax) X(-8062, EFaxTrainError, EFax) X(-8063, EFaxInitError, EFax) \
    X(-8064, EFaxBusy, EFax) X(-8065, EFaxVoiceCall, EFax) X(-8066, EFaxDataCall, EFax)             \
    X(-8067, EFaxNoDialTone, EFax) X(-8068, EFaxNoCarrier, EFax) X(-8069, EFaxSessionError, EFax)   \
    X(-8070, EFaxPageError, EFax)

// Telephony classes for -13801 to -13886 in order (-13804 and -13849 have none).
#define TOVAK_TAPI_LEAVES(X)                                                                          \
    X(ETapiAllocated) X(ETapiBadDeviceID) X(ETapiBearerModeUnavail) X(ETapiCallUnavail)               \
    X(ETapiCompletionOverrun) X(ETapiConferenceFull) X(ETapiDialBilling) X(ETapiDialDialtone)         \
    X(ETapiDialPrompt) X(ETapiDialQuiet) X(ETapiIncompatibleApiVersion) X(ETapiIncompatibleExtVersion) \
    X(ETapiIniFileCorrupt) X(ETapiInUse) X(ETapiInvalAddress) X(ETapiInvalAddressID)                  \
    X(ETapiInvalAddressMode) X(ETapiInvalAddressState) X(ETapiInvalAppHandle) X(ETapiInvalAppName)    \
    X(ETapiInvalBearerMode) X(ETapiInvalCallComplMode) X(ETapiInvalCallHandle) X(ETapiInvalCallParams) \
    X(ETapiInvalCallPrivilege) X(ETapiInvalCallSelect) X(ETapiInvalCallState) X(ETapiInvalCallStatelist) \
    X(ETapiInvalCard) X(ETapiInvalCompletionID) X(ETapiInvalConfCallHandle) X(ETapiInvalConsultCallHandle) \
    X(ETapiInvalCountryCode) X(ETapiInvalDeviceClass) X(ETapiInvalDeviceHandle) X(ETapiInvalDialParams) \
    X(ETapiInvalDigitList) X(ETapiInvalDigitMode) X(ETapiInvalDigits) X(ETapiInvalExtVersion)         \
    X(ETapiInvalGroupID) X(ETapiInvalLineHandle) X(ETapiInvalLineState) X(ETapiInvalLocation)         \
    X(ETapiInvalMediaList) X(ETapiInvalMediaMode) X(ETapiInvalMessageID) X(ETapiInvalParam)           \
    X(ETapiInvalParkID) X(ETapiInvalParkMode) X(ETapiInvalPointer) X(ETapiInvalPrivSelect)            \
    X(ETapiInvalRate) X(ETapiInvalRequestMode) X(ETapiInvalTerminalID) X(ETapiInvalTerminalMode)      \
    X(ETapiInvalTimeout) X(ETapiInvalTone) X(ETapiInvalToneList) X(ETapiInvalToneMode)                \
    X(ETapiInvalTransferMode) X(ETapiLineMapperFailed) X(ETapiNoConference) X(ETapiNoDevice)          \
    X(ETapiNoDriver) X(ETapiNoMem) X(ETapiNoRequest) X(ETapiNotOwner) X(ETapiNotRegistered)           \
    X(ETapiOperationFailed) X(ETapiOperationUnavail) X(ETapiRateUnavail) X(ETapiResourceUnavail)      \
    X(ETapiRequestOverrun) X(ETapiStructureTooSmall) X(ETapiTargetNotFound) X(ETapiTargetSelf)        \
    X(ETapiUninitialized) X(ETapiUserUserInfoTooBig) X(ETapiReinit) X(ETapiAddressBlocked)            \
    X(ETapiBillingRejected) X(ETapiInvalFeature) X(ETapiNoMultipleInstance)

#define TOVAK_TAPI_EXTRA_LEAVES(X)                                                                    \
    X(-13928, ETapiBusy, ETapi) X(-13929, ETapiNotSet, ETapi) X(-13930, ETapiNoSelect, ETapi)         \
    X(-13931, ETapiLoadFail, ETapi) X(-13932, ETapiGetAddrFail, ETapi)                                \
    X(-13933, ETapi16Disabled, ETapi) X(-13935, ETapiVoiceNotSupported, ETapi)                        \
    X(-13936, ETapiWaveFail, ETapi) X(-13942, ETapiTranslateFail, ETapi)
// clang-format on

#define TOVAK_DECLARE_LEAF(code, Name, Family) TOVAK_SERIAL_CLASS(Name, Family);
#define TOVAK_DECLARE_TAPI_LEAF(Name) TOVAK_SERIAL_CLASS(Name, ETapi);
TOVAK_SERIAL_LEAVES(TOVAK_DECLARE_LEAF)
TOVAK_TAPI_LEAVES(TOVAK_DECLARE_TAPI_LEAF)
TOVAK_TAPI_EXTRA_LEAVES(TOVAK_DECLARE_LEAF)
#undef TOVAK_DECLARE_LEAF
#undef TOVAK_DECLARE_TAPI_LEAF

// Raises the exception of a negative code (as CheckException does, without the checks).
[[noreturn]] void RaiseSerialException(int Code);

// Returns Code when it is not negative or `Component` is loading from its stream; else
// raises: -2..-162 (not -8) EInOutError with the error number, -8 EOutOfMemory, a code with
// a class that class, any other the generic "Serial exception" with ErrorCode 0.
int CheckException(TComponent* Component, int Code);

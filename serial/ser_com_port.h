#pragma once
// The port component: holds a serial port's settings, opens and closes it, owns its
// dispatcher while open, turns the dispatcher's trigger messages into events on the window
// thread and every negative result code into an exception (CheckException).
//
// An event handler may close its own port: the close then finishes through a message posted
// to the component's hidden window (PortState() stays psClosing until then).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/component.h"
#include "platform/win/window_handle.h"
#include "serial/ser_dispatcher.h"
#include "serial/serial_types.h"

class TSerCustomComPort;

using TTriggerEvent = std::function<void(TObject* CP, uint16_t Msg, uint16_t TriggerHandle, uint16_t Data)>;
using TTriggerAvailEvent = std::function<void(TObject* CP, uint16_t Count)>;
using TTriggerHandleEvent = std::function<void(TObject* CP, uint16_t TriggerHandle)>;
using TTriggerLineErrorEvent = std::function<void(TObject* CP, uint16_t Error, bool LineBreak)>;
using TWaitCharEvent = std::function<void(TObject* CP, char C)>;
using TPortUserEvent = std::function<void(TObject* CP, bool Opening)>;

// Stand-in for the port selection dialog: answers true with the chosen number, false when
// cancelled. Unset, a prompt counts as cancelled.
std::function<bool(uint16_t& ComNumber)>& PortSelectionPrompt();

class TSerBaseComponent : public TComponent {
public:
    explicit TSerBaseComponent(TComponent* AOwner) : TComponent(AOwner) {}
    std::string ClassName() const override { return "TSerBaseComponent"; }
    std::string SerialVersion() const { return "v1.00"; }
    void SetSerialVersion(const std::string&) {}
};

class TSerCustomComPort : public TSerBaseComponent {
public:
    explicit TSerCustomComPort(TComponent* AOwner);
    ~TSerCustomComPort() override;
    std::string ClassName() const override { return "TSerCustomComPort"; }

    void Assign(TPersistent* Source) override;
    void Loaded() override;

    // Properties.
    TDeviceLayer DeviceLayer() const { return device_layer_; }
    void SetDeviceLayer(TDeviceLayer v);
    uint16_t ComNumber() const { return com_number_; }
    void SetComNumber(uint16_t v);
    int Baud() const { return baud_; }
    void SetBaud(int v);
    TParity Parity() const { return parity_; }
    void SetParity(TParity v);
    uint16_t DataBits() const { return data_bits_; }
    void SetDataBits(uint16_t v);
    uint16_t StopBits() const { return stop_bits_; }
    void SetStopBits(uint16_t v);
    uint16_t InSize() const { return in_size_; }
    void SetInSize(uint16_t v);
    uint16_t OutSize() const { return out_size_; }
    void SetOutSize(uint16_t v);
    bool PromptForPort() const { return prompt_for_port_; }
    void SetPromptForPort(bool v) { prompt_for_port_ = v; }
    bool AutoOpen() const { return auto_open_; }
    void SetAutoOpen(bool v) { auto_open_ = v; }
    bool Open() const { return open_; }
    void SetOpen(bool v);
    bool DTR() const { return dtr_; }
    void SetDTR(bool v);
    bool RTS() const { return rts_; }
    void SetRTS(bool v);
    THWFlowOptionSet HWFlowOptions() const { return hw_flow_; }
    void SetHWFlowOptions(THWFlowOptionSet v);
    TSWFlowOptions SWFlowOptions() const { return sw_flow_; }
    void SetSWFlowOptions(TSWFlowOptions v);
    char XOnChar() const { return xon_; }
    void SetXOnChar(char v);
    char XOffChar() const { return xoff_; }
    void SetXOffChar(char v);
    uint16_t BufferFull() const { return buffer_full_; }
    void SetBufferFull(uint16_t v);
    uint16_t BufferResume() const { return buffer_resume_; }
    void SetBufferResume(uint16_t v);
    TTraceLogState Tracing() const { return tracing_; }
    void SetTracing(TTraceLogState v);
    uint32_t TraceSize() const { return trace_size_; }
    void SetTraceSize(uint32_t v);
    const std::string& TraceName() const { return trace_name_; }
    void SetTraceName(const std::string& v) { trace_name_ = v.substr(0, 255); }
    bool TraceHex() const { return trace_hex_; }
    void SetTraceHex(bool v) { trace_hex_ = v; }
    TTraceLogState Logging() const { return logging_; }
    void SetLogging(TTraceLogState v);
    uint32_t LogSize() const { return log_size_; }
    void SetLogSize(uint32_t v);
    const std::string& LogName() const { return log_name_; }
    void SetLogName(const std::string& v) { log_name_ = v.substr(0, 255); }
    bool LogHex() const { return log_hex_; }
    void SetLogHex(bool v) { log_hex_ = v; }
    bool UseMSRShadow() const { return true; }
    virtual void SetUseMSRShadow(bool) {}
    bool UseEventWord() const { return use_event_word_; }
    void SetUseEventWord(bool v);
    uint16_t CommNotificationLevel() const { return comm_notification_level_; }
    void SetCommNotificationLevel(uint16_t v) { comm_notification_level_ = v; }
    TTapiMode TapiMode() const { return tapi_mode_; }
    void SetTapiMode(TTapiMode v) { tapi_mode_ = v; }
    int TapiHandle() const { return tapi_handle_; }
    void SetTapiHandle(int v) { tapi_handle_ = v; }
    bool RS485Mode() const { return rs485_mode_; }
    void SetRS485Mode(bool v);
    uint8_t ThreadBoost() const { return thread_boost_; }
    void SetThreadBoost(uint8_t v);
    uint16_t AvailTriggerLevel() const { return avail_trigger_level_; }
    void SetAvailTriggerLevel(uint16_t v);

    TPortState PortState() const { return port_state_; }
    TSerBaseDispatcher* Dispatcher() const { return dispatcher_.get(); }
    HWND ComWindow() const { return com_window_; }
    // The system's own words for the last failed open (e.g. a missing dialout membership).
    const std::string& LastErrorText() const { return last_error_text_; }
    std::function<TSerBaseDispatcher*(TSerCustomComPort*)> DispatcherFactory;

    // Use.
    // Inline for the open port: they run once per received byte.
    bool CharReady() { return Applies() ? dispatcher_->CharReady() : CharReadySlow(); }
    char GetChar() {
        char c = 0;
        if (Applies() && dispatcher_->GetChar(c) == 0) return c;
        return GetCharSlow();
    }
    void PutString(const std::string& S);
    TSerBaseDispatcher* ValidDispatcher();
    TSerBaseDispatcher* CheckDispatcher();
    uint16_t LineError();
    bool LineBreak();
    void YieldDispatcher();

    // Trace and log commands.
    void InitTracing(uint32_t Size);
    void DumpTrace(const std::string& FName, bool InHex);
    void AppendTrace(const std::string& FName, bool InHex);
    void ClearTracing();
    void AbortTracing();
    void StartTracing();
    void StopTracing();
    void InitLogging(uint32_t Size);
    void DumpLog(const std::string& FName, bool InHex);
    void AppendLog(const std::string& FName, bool InHex);
    void ClearLogging();
    void AbortLogging();
    void StartLogging();
    void StopLogging();

    // Events. Assign through the setters while the port is open, so the dispatcher learns
    // whether anyone listens.
    TTriggerEvent OnTrigger;
    TTriggerAvailEvent OnTriggerAvail;
    TTriggerHandleEvent OnTriggerData;
    TTriggerHandleEvent OnTriggerStatus;
    TTriggerHandleEvent OnTriggerTimer;
    TTriggerLineErrorEvent OnTriggerLineError;
    TNotifyEvent OnTriggerModemStatus;
    TNotifyEvent OnTriggerOutbuffFree;
    TNotifyEvent OnTriggerOutbuffUsed;
    TNotifyEvent OnTriggerOutSent;
    TWaitCharEvent OnWaitChar;
    TNotifyEvent OnPortOpen;
    TNotifyEvent OnPortClose;
    void SetOnTrigger(TTriggerEvent e) {
        OnTrigger = std::move(e);
        UpdateEventMode();
    }
    void SetOnTriggerAvail(TTriggerAvailEvent e) {
        OnTriggerAvail = std::move(e);
        UpdateEventMode();
    }
    void SetOnTriggerData(TTriggerHandleEvent e) {
        OnTriggerData = std::move(e);
        UpdateEventMode();
    }
    void SetOnTriggerStatus(TTriggerHandleEvent e) {
        OnTriggerStatus = std::move(e);
        UpdateEventMode();
    }
    void SetOnTriggerTimer(TTriggerHandleEvent e) {
        OnTriggerTimer = std::move(e);
        UpdateEventMode();
    }
    void SetOnTriggerLineError(TTriggerLineErrorEvent e) {
        OnTriggerLineError = std::move(e);
        UpdateEventMode();
    }

    // Called by the hidden window's procedure (port-list lock held).
    LRESULT HandleComMessage(UINT Msg, WPARAM WParam, LPARAM LParam);

protected:
    virtual TSerBaseDispatcher* CreateDispatcher();
    virtual void DeviceLayerChanged() {}
    virtual int OpenDevice();
    virtual void ManageComWindow(bool Create);
    virtual void ValidatePortNumber();
    virtual void Trigger(uint16_t Msg, uint16_t TriggerHandle, uint16_t Data);
    virtual void TriggerAvail(uint16_t Count);
    virtual void TriggerData(uint16_t TriggerHandle);
    virtual void TriggerStatus(uint16_t TriggerHandle);
    virtual void TriggerTimer(uint16_t TriggerHandle);
    virtual void UpdateEventMode();
    virtual void TriggerLineError(uint16_t Error, bool LineBreak);
    virtual void TriggerModemStatus();
    virtual void TriggerOutbuffFree();
    virtual void TriggerOutbuffUsed();
    virtual void TriggerOutSent();
    virtual void WaitChar(char C);
    virtual void DonePort();
    virtual void InitPort();
    virtual void NotifyPortOpen();
    virtual void NotifyPortClose();

private:
    int Check(int code);
    bool CharReadySlow();
    char GetCharSlow();
    bool Applies() const { return port_state_ == psOpen && dispatcher_ != nullptr; }
    void FreeDispatcher();

    bool force_apply_ = false;
    TPortState port_state_ = psClosed;
    bool reopen_pending_ = false;
    bool open_after_load_ = false;
    struct PortUser {
        HWND Wnd;
        TPortUserEvent Method;
    };
    std::vector<PortUser> port_users_;
    bool triggers_saved_ = false;
    TTriggerSnapshot saved_triggers_;
    HWND com_window_ = nullptr;
    std::unique_ptr<TSerBaseDispatcher> dispatcher_;
    std::string last_error_text_;

    TDeviceLayer device_layer_ = dlWin32;
    uint8_t device_layers_ = 1u << dlWin32;
    uint16_t com_number_ = 0;
    int baud_ = 19200;
    bool prompt_for_port_ = true;
    TParity parity_ = pNone;
    uint16_t data_bits_ = 8;
    uint16_t stop_bits_ = 1;
    uint16_t in_size_ = 4096;
    uint16_t out_size_ = 4096;
    bool auto_open_ = true;
    bool open_ = false;
    bool dtr_ = true;
    bool rts_ = true;
    THWFlowOptionSet hw_flow_ = 0;
    TSWFlowOptions sw_flow_ = swfNone;
    char xon_ = 17;
    char xoff_ = 19;
    uint16_t buffer_full_ = 0;
    uint16_t buffer_resume_ = 0;
    TTraceLogState tracing_ = tlOff;
    uint32_t trace_size_ = 10000;
    std::string trace_name_ = "SERIAL.TRC";
    bool trace_hex_ = true;
    TTraceLogState logging_ = tlOff;
    uint32_t log_size_ = 10000;
    std::string log_name_ = "SERIAL.LOG";
    bool log_hex_ = true;
    bool use_event_word_ = true;
    uint16_t comm_notification_level_ = 10;
    TTapiMode tapi_mode_ = TTapiMode::tmAuto;
    int tapi_handle_ = 0;
    bool rs485_mode_ = false;
    uint8_t thread_boost_ = 0;
    uint16_t avail_trigger_level_ = 1;
};

class TSerComPort : public TSerCustomComPort {
public:
    explicit TSerComPort(TComponent* AOwner) : TSerCustomComPort(AOwner) {}
    std::string ClassName() const override { return "TSerComPort"; }
};

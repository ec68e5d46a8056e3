// The request queue: what the pages want from the device leaves one item per answer frame,
// oldest first. Only an open link takes requests, and a close empties it: nothing queued
// for one device can reach the next. Nothing outlives the wait that queued it either: a
// wait withdraws what the device has not taken when it ends (TDeviceWait), and a request
// that nobody waits for has a deadline of its own (see Watch).

#include <algorithm>

#include "link/device_wait.h"
#include "link/frame_codec.h"
#include "link/sercom_link.h"
#include "link/wait_for.h"
#include "platform/sync/clock.h"
#include "program/log_file.h"
#include "program/text_utils.h"

std::shared_ptr<TDeviceRequest> TSercomLink::MakeRequest(const std::string& data, TAnswer answer) {
    auto request = std::make_shared<TDeviceRequest>();
    request->Data = data;
    request->Answer = answer;
    // The list shows each request behind its wait key, which is 00 00 for every one.
    request->Item = BytesToHexList(std::string(2, '\0') + data);
    return request;
}

std::shared_ptr<TDeviceRequest> TSercomLink::QueueRequest(const std::string& data, TAnswer answer, bool waited) {
    auto request = MakeRequest(data, answer);
    // Whatever is queued now would leave at the next opening, perhaps to another device.
    if (!Up()) {
        TraceQueueLine("refused: link closed " + request->Item);
        return nullptr;
    }
    if (!waited) request->Deadline = CurrentClock().Ticks() + kSilenceLimitMs;
    queue_.push_back(request);
    if (answer.Kind != TAnswer::TKind::Taken) Await(request);
    view_->QueueAdd(request->Item);
    return request;
}

bool TSercomLink::EnqueueRequest(const std::string& data) { return QueueRequest(data, TAnswer{}, false) != nullptr; }

namespace {

// What an order sends: its header, followed by the block for a write.
std::string OrderHeader(TBlockOrder order) {
    switch (order) {
        case TBlockOrder::ReadInputs: return std::string("\xFC\x13\x00", 3);
        case TBlockOrder::ReadOutputs: return std::string("\xFC\x13\x01", 3);
        case TBlockOrder::WriteInputs: return std::string("\xFB\x13\x00", 3);
        case TBlockOrder::WriteOutputs: return std::string("\xFB\x13\x01", 3);
    }
    return {};
}

TAnswer OrderAnswer(TBlockOrder order) {
    if (order == TBlockOrder::ReadInputs) return AwaitInputBlock;
    if (order == TBlockOrder::ReadOutputs) return AwaitOutputBlock;
    return AwaitResult;
}

}  // namespace

std::shared_ptr<TDeviceRequest> TSercomLink::OrderBlock(TBlockOrder order, bool waited) {
    std::shared_ptr<TDeviceRequest>& slot = orders_[static_cast<size_t>(order)];
    // Held past its deadline, the order can no longer be taken and the device is lost,
    // whoever asks for it again. The watch's round runs now, not up to an interval later, when
    // a wait handed the order may have ended and withdrawn it as if nothing were amiss.
    if (slot && slot->Deadline <= CurrentClock().Ticks()) Watch();
    // An order still held may go in a close's last answers, but nobody may count on it then:
    // the link that would carry its answer is ending.
    if (!Up()) {
        TraceQueueLine("refused: link closed " + BytesToHexList(OrderHeader(order)));
        return nullptr;
    }
    // One order of a kind goes at a time: asked for again before it went, it is the same, and
    // keeps the deadline of whoever ordered it first.
    if (slot) return slot;
    auto request = MakeRequest(OrderHeader(order), OrderAnswer(order));
    request->Item = BytesToHexList(request->Data);
    if (!waited) request->Deadline = CurrentClock().Ticks() + kSilenceLimitMs;
    Await(request);
    slot = request;
    return request;
}

std::shared_ptr<TDeviceRequest> TSercomLink::TakeBlockOrder(std::string& data) {
    // Most frames find no order held: they leave the clock alone.
    const auto held = [](const std::shared_ptr<TDeviceRequest>& order) { return order != nullptr; };
    if (std::none_of(orders_.begin(), orders_.end(), held)) return nullptr;
    const uint64_t now = CurrentClock().Ticks();
    for (size_t k = 0; k < orders_.size(); ++k) {
        // Past its own deadline the order is not the device's any more: the watch withdraws it.
        if (!orders_[k] || orders_[k]->Deadline <= now) continue;
        auto request = std::move(orders_[k]);
        request->State = TDeviceRequest::TState::Taken;
        data = request->Data;
        if (k == static_cast<size_t>(TBlockOrder::WriteInputs)) data += HexListToBytes(main_->InputBlockText());
        if (k == static_cast<size_t>(TBlockOrder::WriteOutputs)) data += HexListToBytes(main_->OutputBlockText());
        return request;
    }
    return nullptr;
}

bool TSercomLink::HasQueuedRequest() const {
    return !queue_.empty() || std::any_of(orders_.begin(), orders_.end(), [](const auto& order) { return order; });
}

std::shared_ptr<TDeviceRequest> TSercomLink::ExpectAnswer(TAnswer answer) {
    auto expected = MakeRequest(std::string(), answer);
    expected->State = TDeviceRequest::TState::Taken;
    Await(expected);
    return expected;
}

void TSercomLink::Await(const std::shared_ptr<TDeviceRequest>& request) {
    // Requests whose waits have ended go from the list here as well as when an answer comes.
    std::erase_if(awaiting_, [](const std::weak_ptr<TDeviceRequest>& weak) { return weak.expired(); });
    awaiting_.push_back(request);
}

void TSercomLink::Withdraw(TDeviceRequest& request) {
    for (auto& order : orders_) {
        if (order.get() != &request) continue;
        const std::shared_ptr<TDeviceRequest> held = std::move(order);
        held->State = TDeviceRequest::TState::Withdrawn;
        TraceQueueLine("withdrawn: " + held->Item);
        return;
    }
    const auto it = std::find_if(queue_.begin(), queue_.end(), [&](const auto& r) { return r.get() == &request; });
    if (it == queue_.end()) return;
    const std::shared_ptr<TDeviceRequest> held = *it;  // the queue may have been its only owner
    view_->QueueDelete(static_cast<int>(it - queue_.begin()));
    queue_.erase(it);
    held->State = TDeviceRequest::TState::Withdrawn;
    TraceQueueLine("withdrawn: " + held->Item);
}

void TSercomLink::Fulfil(TAnswer answer) {
    // Requests whose waits have ended are gone from here with them.
    std::erase_if(awaiting_, [&](const std::weak_ptr<TDeviceRequest>& weak) {
        const auto request = weak.lock();
        if (!request) return true;
        if (request->Answer != answer) return false;
        request->Answered = true;
        return true;
    });
}

bool TSercomLink::Awaiting(TAnswer answer) const {
    return std::any_of(awaiting_.begin(), awaiting_.end(), [&](const std::weak_ptr<TDeviceRequest>& weak) {
        const auto request = weak.lock();
        return request && !request->Answered && request->Answer == answer &&
               request->State != TDeviceRequest::TState::Withdrawn;
    });
}

std::vector<std::string> TSercomLink::QueueItems() const {
    std::vector<std::string> items;
    for (const auto& request : queue_) items.push_back(request->Item);
    return items;
}

void TSercomLink::TraceQueueLine(const std::string& line) {
    // Also written from a wait's end, where nothing may be handled: the line only goes into
    // the list (which paints with the next message handled).
    if (LinkState.PrtShow) {
        if (++LinkState.TraceLineCounter >= 100) LinkState.TraceLineCounter = 1;
        view_->TraceAdd(IntToStrZero(LinkState.TraceLineCounter, 2) + " " + line);
    }
    if (LinkState.PrtProt) WriteLogLine("TOVAK-COM-", "COM", line);
}

void TSercomLink::DropQueue() {
    for (auto& order : orders_) {
        if (!order) continue;
        const std::shared_ptr<TDeviceRequest> dropped = std::move(order);
        dropped->State = TDeviceRequest::TState::Withdrawn;
        TraceQueueLine("dropped: " + dropped->Item);
    }
    while (!queue_.empty()) {
        const auto request = queue_.front();
        queue_.pop_front();
        view_->QueueDelete(0);
        request->State = TDeviceRequest::TState::Withdrawn;
        TraceQueueLine("dropped: " + request->Item);
    }
}

std::shared_ptr<TDeviceRequest> TSercomLink::DequeueRequest(std::string& data) {
    data.clear();
    if (queue_.empty()) return nullptr;
    // Past its own deadline the request is not the device's any more: the watch withdraws it.
    if (queue_.front()->Deadline <= CurrentClock().Ticks()) return nullptr;
    auto request = queue_.front();
    queue_.pop_front();
    view_->QueueDelete(0);
    request->State = TDeviceRequest::TState::Taken;
    data = request->Data;
    return request;
}

int32_t TSercomLink::QueryDeviceType() {
    for (int attempt = 0; attempt < 2; ++attempt) {
        LinkState.DeviceTypeCode = 0;
        LinkState.DeviceTypeAnswer.clear();
        TDeviceWait wait(this);
        if (!wait.Queue(std::string("\x20\x10", 2), AwaitDeviceType)) {
            LinkState.DeviceTypeCode = -1;
            break;
        }
        const TWaitEnd end = wait.Until(CurrentClock().Ticks() + kTypeQueryMs, WaitEnds(),
                                        [this] { return LinkState.DeviceTypeCode != 0; });
        if (end != TWaitEnd::Met) LinkState.DeviceTypeCode = -1;
        if (end != TWaitEnd::Deadline) break;
    }
    return LinkState.DeviceTypeCode;
}

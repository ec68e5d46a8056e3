#include "link/device_wait.h"

#include <algorithm>

#include "link/sercom_link.h"

TDeviceWait::TDeviceWait(TSercomLink* link) : link_(link) {}

TDeviceWait::~TDeviceWait() {
    if (!link_) return;
    for (const auto& request : requests_)
        if (request->State == TDeviceRequest::TState::Queued) link_->Withdraw(*request);
}

bool TDeviceWait::Queue(const std::string& data, TAnswer answer) {
    if (!link_) return false;
    auto request = link_->QueueRequest(data, answer, true);
    if (!request) return false;
    requests_.push_back(std::move(request));
    return true;
}

bool TDeviceWait::Order(TBlockOrder order) {
    if (!link_) return false;
    auto request = link_->OrderBlock(order, true);
    if (!request) return false;
    requests_.push_back(std::move(request));
    return true;
}

void TDeviceWait::Expect(TAnswer answer) {
    if (link_) {
        requests_.push_back(link_->ExpectAnswer(answer));
        return;
    }
    // Without a link the answer never comes.
    auto never = std::make_shared<TDeviceRequest>();
    never->State = TDeviceRequest::TState::Taken;
    never->Answer = answer;
    requests_.push_back(std::move(never));
}

bool TDeviceWait::Answered() const {
    return std::all_of(requests_.begin(), requests_.end(), [](const auto& r) { return r->Done(); });
}

TWaitEnd TDeviceWait::Until(uint64_t deadline, const TWaitEnds& ends, const std::function<bool()>& done) {
    if (done) return WaitFor(done, deadline, ends);
    return WaitFor([this] { return Answered(); }, deadline, ends);
}

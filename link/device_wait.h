#pragma once
// A wait for the device and the requests it queues for it. The requests belong to the wait:
// when it ends (leaves its scope) before the device has taken them, they are withdrawn from
// the queue, whatever ended it (its deadline, the page left, the link closed, the program's
// end), so they can never leave later, to this device or the next. Answers count for the
// wait only while it lasts.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/device_request.h"
#include "link/wait_for.h"

class TSercomLink;

class TDeviceWait {
public:
    // `link` null: every request is refused.
    explicit TDeviceWait(TSercomLink* link);
    ~TDeviceWait();
    TDeviceWait(const TDeviceWait&) = delete;
    TDeviceWait& operator=(const TDeviceWait&) = delete;

    // Queues `data`, answered by `answer` (the default: being taken is all). False, and
    // nothing queued, when the link refuses it (not open).
    bool Queue(const std::string& data, TAnswer answer = {});
    // Orders a block exchange for the next answer frame (see TBlockOrder), answered by its
    // block or its result; false, and nothing ordered, when the link refuses it.
    bool Order(TBlockOrder order);
    // Counts `answer` as awaited from now on although none of its requests asks for it: a
    // record the device sends some time after a command.
    void Expect(TAnswer answer);
    // Every request taken and every answer come.
    bool Answered() const;
    // The one wait (WaitFor) until `done` (default: Answered()), `deadline` or one of `ends`.
    TWaitEnd Until(uint64_t deadline, const TWaitEnds& ends, const std::function<bool()>& done = nullptr);

private:
    TSercomLink* link_;
    std::vector<std::shared_ptr<TDeviceRequest>> requests_;
};

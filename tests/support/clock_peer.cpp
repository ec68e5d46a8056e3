#include "tests/support/clock_peer.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

struct Peers {
    std::mutex lock;  // held while a peer is asked, so that it cannot end meanwhile
    std::vector<const ClockPeer*> all;
};

Peers& Live() {
    static Peers peers;
    return peers;
}

}  // namespace

ClockPeer::ClockPeer(std::function<bool()> hadItsChance) : hadItsChance_(std::move(hadItsChance)) {
    std::lock_guard<std::mutex> guard(Live().lock);
    Live().all.push_back(this);
}

ClockPeer::~ClockPeer() {
    std::lock_guard<std::mutex> guard(Live().lock);
    Live().all.erase(std::find(Live().all.begin(), Live().all.end(), this));
}

bool ClockPeer::AllHadTheirChance() {
    std::lock_guard<std::mutex> guard(Live().lock);
    return std::all_of(Live().all.begin(), Live().all.end(), [](const ClockPeer* p) { return p->hadItsChance_(); });
}

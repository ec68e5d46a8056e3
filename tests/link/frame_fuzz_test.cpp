#include <gtest/gtest.h>
#include <random>

#include "sim/door_frame.h"
#include "tests/link/link_fakes.h"

// Random and mutated frames, each cut at its first ETX as the engine cuts them: no crash,
// no sanitizer report, exactly one answer to a good frame and none to a bad one. The
// simulator's own decoder is the judge of good and bad.
TEST(FrameFuzz, SeededFramesNeverCrashAndBadOnesGetNoAnswer) {
    FakeLink f;
    std::mt19937 rng(20260305);
    auto byte = [&] { return static_cast<char>(rng() & 0xFF); };
    int good = 0, bad = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string wire;
        switch (rng() % 4) {
            case 0: {  // noise
                size_t n = rng() % 40;
                for (size_t k = 0; k < n; ++k) wire += byte();
                break;
            }
            default: {  // a real frame, possibly a record or broadcast, then mutated
                SimFrame frame;
                frame.h0 = rng() % 8 == 0 ? 0x02 : 0x00;
                frame.h1 = byte();
                size_t n = rng() % 60;
                if (rng() % 2) frame.data = std::string("\xFB\x02", 2);
                for (size_t k = 0; k < n; ++k) frame.data += byte();
                wire = SimEncodeFrame(frame);
                int mutations = rng() % 3;
                for (int m = 0; m < mutations && !wire.empty(); ++m) {
                    size_t at = rng() % wire.size();
                    switch (rng() % 3) {
                        case 0: wire[at] = byte(); break;
                        case 1: wire.erase(at, 1); break;
                        default: wire.insert(at, 1, byte()); break;
                    }
                }
            }
        }
        size_t etx = wire.find('\x03');
        if (etx == std::string::npos)
            wire += '\x03';
        else
            wire.resize(etx + 1);
        // Random orders and queue entries, so every answer rule gets its share.
        if (rng() % 16 == 0) f.link.OrderBlock(TBlockOrder::ReadInputs, false);
        if (rng() % 16 == 0) f.link.EnqueueRequest(std::string(1, byte()));

        SimFrame parsed;
        bool ok = SimDecodeFrame(wire, parsed) == SimParse::Ok;
        bool broadcast = ok && parsed.h0 == 0x02 && parsed.data.size() >= 3;
        bool had_order = !f.link.LinkState.PendingFrame.empty() || f.link.HasQueuedRequest();
        auto out = f.Poll(wire);
        if (!ok) {
            ++bad;
            EXPECT_TRUE(out.empty()) << BytesToHexList(wire);
        } else {
            ++good;
            if (broadcast && !had_order)
                EXPECT_TRUE(out.empty()) << BytesToHexList(wire);
            else if (!broadcast)
                EXPECT_EQ(1u, out.size()) << BytesToHexList(wire);
            else
                EXPECT_LE(out.size(), 1u);
        }
        ASSERT_TRUE(f.link.LinkState.ReceiveBuffer.empty());
        if (HasFailure()) break;
    }
    EXPECT_GT(good, 1000);
    EXPECT_GT(bad, 1000);
}

// The scope guards that replace catch-and-rethrow pairs: the second half runs on every way
// out, and a cleanup that fails while an exception is in flight never replaces it.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/classes/string_list.h"
#include "platform/classes/update_scope.h"
#include "platform/rtl/dropped_exception.h"
#include "platform/rtl/scope_exit.h"

TEST(ScopeExit, RunsOnReturnAndOnException) {
    int runs = 0;
    {
        TScopeExit count([&] { ++runs; });
    }
    EXPECT_EQ(1, runs);
    EXPECT_THROW(
        {
            TScopeExit count([&] { ++runs; });
            throw std::runtime_error("fill failed");
        },
        std::runtime_error);
    EXPECT_EQ(2, runs);
}

TEST(ScopeExit, AFailingCleanupRaisesOnAPlainExitAndYieldsToAnExceptionInFlight) {
    auto failing = [] { throw std::logic_error("cleanup"); };
    EXPECT_THROW({ TScopeExit end(failing); }, std::logic_error);
    // The one that yields goes to the report the program set, as dropped for the other.
    std::vector<std::string> dropped;
    TDroppedExceptionReport previous = SetDroppedExceptionReport([&dropped](std::exception_ptr e, TDropped why) {
        EXPECT_EQ(why, TDropped::ForAnother);
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& x) {
            dropped.push_back(x.what());
        }
    });
    try {
        TScopeExit end(failing);
        throw std::runtime_error("first");
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ("first", e.what());
    }
    SetDroppedExceptionReport(std::move(previous));
    EXPECT_EQ(dropped, std::vector<std::string>{"cleanup"});
}

TEST(ScopeExit, ACleanupIsToldWhetherARaiseInsideItsScopeBrokeItOff) {
    std::vector<bool> told;
    auto tell = [&](bool Broken) { told.push_back(Broken); };
    { TScopeExit end(tell); }
    try {
        TScopeExit end(tell);
        throw std::runtime_error("fill failed");
    } catch (const std::runtime_error&) {
    }
    // A scope inside a clean-up that runs while the first exception is on its way: that one
    // broke off the outer scope, not the inner one.
    try {
        TScopeExit outer([&] { TScopeExit inner(tell); });
        throw std::runtime_error("first");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ((std::vector<bool>{false, true, false}), told);
}

TEST(UpdateScope, EndsTheUpdateHoweverTheFillEnds) {
    TStringList list;
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    {
        TUpdateScope update(&list);
        list.Add("a");
        list.Add("b");
        EXPECT_EQ(1, list.UpdateCount());
        EXPECT_EQ(0, changes);
    }
    EXPECT_EQ(0, list.UpdateCount());
    EXPECT_EQ(1, changes);  // one change for the whole fill
    EXPECT_THROW(
        {
            TUpdateScope update(&list);
            list.Add("c");
            throw std::runtime_error("fill failed");
        },
        std::runtime_error);
    EXPECT_EQ(0, list.UpdateCount());
    EXPECT_EQ(3, list.Count());
}

#include "tests/support/child_process_case.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

// LeakSanitizer's check, where the build links its runtime; null in a build without it, so
// that both builds take the same path.
extern "C" __attribute__((weak)) void __lsan_do_leak_check();

namespace {

// The child's failures to standard error, then the leak check, which ends the child itself
// when it finds a leak; no destructor of the test runner runs after the case's tear-down.
[[noreturn]] void EndChild() {
    const ::testing::TestResult* result = ::testing::UnitTest::GetInstance()->current_test_info()->result();
    for (int i = 0; i < result->total_part_count(); ++i) {
        const ::testing::TestPartResult& part = result->GetTestPartResult(i);
        if (part.failed())
            std::cerr << (part.file_name() ? part.file_name() : "?") << ":" << part.line_number() << ": "
                      << part.summary() << "\n";
    }
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    if (__lsan_do_leak_check) __lsan_do_leak_check();
    std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
}

}  // namespace

void ExpectCaseInChildProcess(const std::function<void()>& Case, const std::function<void()>& TearDown) {
    // Run again from the start in a process of its own: the parent's threads are not copied.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Case();
            if (TearDown) TearDown();
            EndChild();
        },
        ::testing::ExitedWithCode(0), "");
}

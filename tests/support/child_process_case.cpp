#include "tests/support/child_process_case.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#if defined(__SANITIZE_ADDRESS__)
#define TOVAK_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define TOVAK_LEAK_CHECK 1
#endif
#endif
#if TOVAK_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

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
#if TOVAK_LEAK_CHECK
    __lsan_do_leak_check();
#endif
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

#pragma once
// A test case run in a child process of its own (a death test), so that a case which ends the
// program shows as its failure alone, also when the test program runs by hand. Every child
// ends alike: its tear-down frees what it made and removes its files, its failures go to
// standard error, which the parent shows, LeakSanitizer looks at it where the build has it (a
// leak fails the case), and its status says whether anything failed.

#include <functional>

// Runs Case and then TearDown in the child, which ends there: the test runner's own tear-down
// never comes in it, so a fixture's case names the fixture's tear-down here, and what the
// fixture holds beyond it.
void ExpectCaseInChildProcess(const std::function<void()>& Case, const std::function<void()>& TearDown = nullptr);

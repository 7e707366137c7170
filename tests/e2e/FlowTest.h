// The base of every end-to-end test: a prepared Scenario and the checks a
// person would make at each step (which window is up, what it says, which
// buttons it offers), each reporting what was on the screen when it failed.
#pragma once

#include "automation/ProgramWindows.h"
#include "e2e/Scenario.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class FlowTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Prepares the scene; a failed preparation fails the test.
    void Prepare(Scenario::Package package);
    void Start();

    // The window of that kind, or nullptr with a test failure.
    HWND Expect(automation::ProgramWindow kind);

    // The next message box, checked for its text, its buttons and whether it
    // shows an icon; nullptr (with a failure) when none comes.
    HWND ExpectMessage(const std::wstring& text, const std::vector<int>& buttons, bool icon);

    // Answers the message box and waits until it has gone.
    void Answer(HWND box, int button);

    // No message box appears within the time.
    void ExpectNoMessageFor(DWORD ms);

    // The installer ends by itself within the usual time.
    void ExpectEnded();

    // The run's success message (106) comes, is answered with OK, and the
    // installer ends; callers wrap it in ASSERT_NO_FATAL_FAILURE.
    void ExpectSuccessAndEnd();

    // The host folder holds exactly these files with these bytes.
    void ExpectHost(const filetree::Contents& expected);

    Scenario scenario;
};

std::string Describe(const std::wstring& text);

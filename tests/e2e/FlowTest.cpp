#include "e2e/FlowTest.h"

#include "automation/Utf8.h"
#include "automation/Wait.h"
#include "automation/WindowAction.h"
#include "automation/WindowQuery.h"
#include "e2e/ExpectedTexts.h"

using automation::ProgramWindow;

std::string Describe(const std::wstring& text) {
    std::string out = "\"";
    for (char c : automation::Narrow(text)) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else
            out += c;
    }
    return out + "\"";
}

void FlowTest::SetUp() {
    char display[256] = "";
    ASSERT_GT(GetEnvironmentVariableA("DISPLAY", display, sizeof display), 0u)
        << "the installer's windows need an X display (DISPLAY)";
}

void FlowTest::Prepare(Scenario::Package package) {
    ASSERT_TRUE(scenario.Prepare(package)) << scenario.Error();
}

void FlowTest::Start() {
    ASSERT_TRUE(scenario.Start()) << scenario.Error();
}

HWND FlowTest::Expect(ProgramWindow kind) {
    HWND window = scenario.WaitFor(kind);
    // In the order of ProgramWindow.
    static const char* const kNames[] = {"install dialog", "selection dialog", "restore window",
                                         "about box", "message box"};
    static_assert(sizeof kNames / sizeof kNames[0] ==
                  static_cast<size_t>(ProgramWindow::Message) + 1);
    if (!window)
        ADD_FAILURE() << "no " << kNames[static_cast<int>(kind)] << " showed; on the screen:\n"
                      << scenario.Screen();
    return window;
}

HWND FlowTest::ExpectMessage(const std::wstring& text, const std::vector<int>& buttons, bool icon) {
    HWND box = Expect(ProgramWindow::Message);
    if (!box) return nullptr;
    const auto shown = automation::MessageBoxText(box);
    EXPECT_TRUE(shown && *shown == text)
        << "message box says " << (shown ? Describe(*shown) : "nothing") << "\n expected "
        << Describe(text);
    EXPECT_EQ(automation::ButtonIds(box), buttons);
    EXPECT_EQ(automation::MessageBoxHasIcon(box), icon);
    return box;
}

void FlowTest::Answer(HWND box, int button) {
    ASSERT_TRUE(automation::AnswerMessageBox(box, button))
        << "cannot answer with " << button << "\n"
        << scenario.Screen();
    EXPECT_TRUE(automation::WaitFor([box] { return !IsWindow(box); }, Scenario::kShowTimeoutMs))
        << "the message box stays after the answer";
}

void FlowTest::ExpectNoMessageFor(DWORD ms) {
    const HWND box = automation::WaitFor([&] { return scenario.Find(ProgramWindow::Message); }, ms);
    EXPECT_EQ(box, nullptr) << "unexpected message box: "
                            << Describe(automation::MessageBoxText(box).value_or(L"(no text)"));
}

void FlowTest::ExpectEnded() {
    EXPECT_TRUE(scenario.WaitForExit()) << "the installer did not end; on the screen:\n"
                                        << scenario.Screen();
}

void FlowTest::ExpectSuccessAndEnd() {
    HWND done = ExpectMessage(expected::Text(106), {IDOK}, true);
    ASSERT_NE(done, nullptr);
    Answer(done, IDOK);
    ExpectEnded();
}

void FlowTest::ExpectHost(const filetree::Contents& expected) {
    const auto differences = filetree::Compare(expected, scenario.HostContents());
    std::string report;
    for (const auto& line : differences) report += "  " + line + "\n";
    EXPECT_TRUE(differences.empty()) << "host folder " << scenario.HostFolder() << ":\n" << report;
}

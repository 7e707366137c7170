// The about box, opened from the entry that both dialogs append to their
// system menu. The menu is read from inside the installer's process (see
// automation/SystemMenu.h).
#include "automation/SystemMenu.h"
#include "automation/Wait.h"
#include "automation/WindowAction.h"
#include "automation/WindowQuery.h"
#include "e2e/ExpectedTexts.h"
#include "e2e/FlowTest.h"

#include <algorithm>
#include <string>

using automation::ProgramWindow;
namespace control = automation::control;

namespace {

struct AboutCase {
    const char* name;
    Scenario::Package package;
    ProgramWindow dialog;  // the dialog whose system menu is used
};

class AboutBox : public FlowTest, public ::testing::WithParamInterface<AboutCase> {};

TEST_P(AboutBox, OpensFromTheSystemMenuAndCloses) {
    const AboutCase& c = GetParam();
    Prepare(c.package);
    Start();
    HWND dialog = Expect(c.dialog);
    ASSERT_NE(dialog, nullptr);

    const auto menu = automation::ReadSystemMenu(dialog, Scenario::kShowTimeoutMs);
    ASSERT_TRUE(menu) << "the system menu could not be read";
    ASSERT_GE(menu->size(), 2u);
    EXPECT_TRUE((*menu)[menu->size() - 2].separator) << "no separator before the about entry";
    EXPECT_EQ(menu->back().id, control::kAboutCommand);
    EXPECT_EQ(Describe(menu->back().text), Describe(expected::Text(101)));

    ASSERT_TRUE(automation::ChooseSystemCommand(dialog, control::kAboutCommand));
    HWND about = Expect(ProgramWindow::About);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(automation::WindowText(about), std::wstring(L"Baukanter Installer v1.0"));
    EXPECT_EQ(automation::ControlText(about, IDOK), expected::Text(111));
    const auto texts = automation::ControlTexts(about);
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"Baukanter Installer Version 1.0"),
              texts.end());

    ASSERT_TRUE(automation::PressButton(about, IDOK));
    EXPECT_TRUE(automation::WaitFor([&] { return scenario.Find(ProgramWindow::About) == nullptr; },
                                    Scenario::kShowTimeoutMs))
        << scenario.Screen();
    EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog))
        << "the dialog closed with its about box";
    ExpectNoMessageFor(300);

    ASSERT_TRUE(automation::PressButton(dialog, control::kCancelButton));
    ExpectEnded();
    ExpectHost(Scenario::OriginalHost());
}

INSTANTIATE_TEST_SUITE_P(
    BothDialogs, AboutBox,
    ::testing::Values(AboutCase{"InstallDialog", Scenario::Package::Single, ProgramWindow::Install},
                      AboutCase{"SelectionDialog", Scenario::Package::Catalogue,
                                ProgramWindow::Selection}),
    [](const ::testing::TestParamInfo<AboutCase>& info) { return std::string(info.param.name); });

}  // namespace

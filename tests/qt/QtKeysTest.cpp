// Enter and the browsing keys in the real window, given to the widget with
// the focus, against the headless host given the same keys in a copy of
// the same game.
#include <QApplication>

#include "QtWindowKit.h"

namespace {

TEST(QtKeysTest, EnterPressesTheFocusedButtonAndNothingAfterAClickOnAnImage)
{
    const TwinGames games(MakePortraitEntries(ManyPortraits(4)));
    // Each input with the control that has the focus after it (-1: not checked).
    const std::vector<std::pair<Input, int32_t>> steps = {
        {Do::Export(), IDC_EXPORT},      // a click gives the button the focus
        {Do::EnterKey(), IDC_EXPORT},    // and Enter exports again
        {Do::ToggleCheck(), IDC_USE_TGA_PALETTE},
        {Do::EnterKey(), IDC_USE_TGA_PALETTE}, // neither toggles nor quits
        {Do::KeyPress("Right", Qt::Key_Right, VK_RIGHT), IDC_USE_TGA_PALETTE},
        {Do::KeyPress("End", Qt::Key_End, VK_END), -1},
        {Do::KeyPress("Page Up", Qt::Key_PageUp, VK_PRIOR), -1},
        {Do::ClickSlot(4), CDialog::kClientAreaFocus},
        {Do::EnterKey(), CDialog::kClientAreaFocus}, // quits nothing
        {Do::KeyPress("Down", Qt::Key_Down, VK_DOWN), -1},
        {Do::KeyPress("Page Down", Qt::Key_PageDown, VK_NEXT), -1},
        {Do::KeyPress("Home", Qt::Key_Home, VK_HOME), -1},
        {Do::EnterOnQuit(), -1},
    };
    std::vector<Input> inputs;
    for (const auto& step : steps)
        inputs.push_back(step.first);
    const std::vector<ViewSnapshot> headless = RunHeadless(games.headless.Base(), inputs);
    ASSERT_FALSE(headless.back().open);

    ScopedChdir cd(games.window.Base());
    WindowSession session;
    CPortraitEditorDlg dialog;
    const int32_t result = session.Run(dialog, [&] {
        for (size_t i = 0; i < steps.size() && session.IsOpen(); ++i) {
            const auto& [input, focus] = steps[i];
            SCOPED_TRACE("input " + std::to_string(i) + ": " + input.name);
            QImage grabbed;
            ExpectSameView(session.Step(dialog, input, grabbed), grabbed, headless[i + 1]);
            if (focus >= 0) {
                QWidget* expected = focus == CDialog::kClientAreaFocus ? session.Client() : session.Control(focus);
                EXPECT_EQ(QApplication::focusWidget(), expected);
            }
        }
        EXPECT_FALSE(session.IsOpen());
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(headless[2].messages, headless[1].messages); // the second export said what the first did
    EXPECT_EQ(headless[4].checks.at(IDC_USE_TGA_PALETTE), true);
    EXPECT_EQ(headless[7].portrait, 2);
    EXPECT_EQ(headless[10].slot, 5);
    EXPECT_EQ(headless[12].portrait, 0);
    EXPECT_EQ(FolderContents(games.window / "Portraits"), FolderContents(games.headless / "Portraits"));
}

} // namespace

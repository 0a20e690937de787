// The editor in its real window: the window built from the dialog template,
// and the dialog driven through the window's own widgets (mouse, wheel,
// scroll bar, buttons, keys, close box; its message boxes and open-file
// dialog scripted), compared after every input with the headless host given
// the same inputs in a copy of the same game.
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <csignal>

#include "QtWindowKit.h"
#include "PortraitScrollBar.h"
#include "MessageBoxHandler.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

// Twelve portraits whose MEDIUM images have from one to twelve frames, so
// that the view fills different sets of slots as the user browses.
std::vector<TestPortrait> Portraits()
{
    std::vector<TestPortrait> portraits = ManyPortraits(12);
    const int frames[] = {4, 10, 3, 1, 6, 2, 12, 1, 5, 1, 3, 2};
    for (size_t i = 0; i < portraits.size(); ++i)
        portraits[i].mediumFrames = frames[i];
    portraits[5].trueColourSmall = true;
    return portraits;
}

std::string PortraitName(int index)
{
    return TestPortraitName(Portraits()[static_cast<size_t>(index)]);
}

QString Canonical(const std::string& path)
{
    return QFileInfo(QString::fromStdString(path)).canonicalFilePath();
}

// The patterns in the parentheses of a filter label such as "Text (*.txt *.TXT)".
QStringList FilterPatterns(const QString& label)
{
    const qsizetype open = label.indexOf('('), close = label.lastIndexOf(')');
    if (open < 0 || close < open)
        return {};
    return label.mid(open + 1, close - open - 1).split(' ', Qt::SkipEmptyParts);
}

// Whether a name passes a filter when names are compared with their case,
// as the file system here does.
bool FilterMatches(const QString& label, const QString& name)
{
    for (const QString& pattern : FilterPatterns(label)) {
        const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(pattern));
        if (re.match(name).hasMatch())
            return true;
    }
    return false;
}

uint32_t Shown(const QImage& grabbed, int32_t x, int32_t y)
{
    return grabbed.pixel(x, y) & 0xFFFFFFu;
}

// The colour shown one pixel in from a slot's top-left corner: past the
// test frames' left border of index 0.
uint32_t ShownInSlot(const QImage& grabbed, int32_t slot)
{
    PixelRect r{};
    CPortraitEditorDlg::GetSlotRect(slot, r);
    return Shown(grabbed, r.left + 1, r.top + 1);
}

bool BarShownUnder(const QImage& grabbed, int32_t slot)
{
    PixelRect r{};
    CPortraitEditorDlg::GetSlotRect(slot, r);
    for (int32_t y = r.bottom + 1; y < r.bottom + 5; ++y)
        for (int32_t x = r.left; x <= r.right; ++x)
            if (Shown(grabbed, x, y) != kWhite)
                return false;
    return true;
}

class QtWindowTest : public ::testing::Test {
protected:
    std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        files.WriteFile(name, bytes);
        return files / name;
    }

    // Files to import, outside both game directories.
    TempDir files;
};

TEST_F(QtWindowTest, TheWindowIsBuiltFromTheDialogTemplate)
{
    const TwinGames games(MakePortraitEntries(Portraits()));
    ScopedChdir cd(games.window.Base());
    WindowSession session;
    CPortraitEditorDlg dialog;
    const int32_t result = session.Run(dialog, [&] {
        QDialog* window = session.Window();
        // The client area has the template's size, under the menu bar; the
        // panels beside it take the rest of the window, which grows only
        // where they can use the room.
        QWidget* client = session.Client();
        ASSERT_NE(client, nullptr);
        QMenuBar* menuBar = session.host.MenuBar();
        ASSERT_NE(menuBar, nullptr);
        EXPECT_GT(menuBar->height(), 0);
        EXPECT_EQ(menuBar->geometry(), QRect(0, 0, window->width(), menuBar->height()));
        EXPECT_EQ(client->geometry(), QRect(0, menuBar->height(), 521, 401));
        EXPECT_EQ(window->size(), QSize(521 + CQtDialogHost::kListWidth + CQtDialogHost::kStartPreviewWidth,
                                        401 + menuBar->height()));
        EXPECT_EQ(window->minimumSize(),
                  QSize(521 + CQtDialogHost::kListWidth + CQtDialogHost::kMinPreviewWidth, 401 + menuBar->height()));
        EXPECT_EQ(window->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Thornvale - Portrait Editor v1.0"));
        const Qt::WindowFlags flags = window->windowFlags();
        EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
        EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
        EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
        EXPECT_TRUE(flags.testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(window->isModal());
        EXPECT_EQ(QApplication::activeModalWidget(), window);

        // The window icon is the application's icon, pixel for pixel.
        const Icon& icon = LoadAppIcon();
        const QImage shownIcon = window->windowIcon().pixmap(QSize(icon.size, icon.size)).toImage().convertToFormat(
            QImage::Format_ARGB32);
        ASSERT_EQ(shownIcon.size(), QSize(icon.size, icon.size));
        int iconDiffs = 0;
        for (int y = 0; y < icon.size; ++y) {
            for (int x = 0; x < icon.size; ++x) {
                const uint8_t* p = &icon.pixels[static_cast<size_t>(y * icon.size + x) * 4];
                iconDiffs += shownIcon.pixel(x, y) != qRgba(p[2], p[1], p[0], p[3]);
            }
        }
        EXPECT_EQ(iconDiffs, 0);

        // Every template control is a real child at its converted position.
        std::vector<int32_t> tabStops;
        for (const ControlTemplate& c : PortraitEditorDialogTemplate().controls) {
            SCOPED_TRACE(c.id);
            QWidget* w = session.Control(c.id);
            ASSERT_NE(w, nullptr);
            EXPECT_EQ(w->parentWidget(), client);
            EXPECT_TRUE(w->isVisible());
            const PixelRect r = ControlRectInPixels(c);
            EXPECT_EQ(w->geometry(), QRect(r.left, r.top, r.Width(), r.Height()));
            const bool tabStop = (c.style & WindowStyle::kTabStop) != 0;
            EXPECT_EQ((w->focusPolicy() & Qt::TabFocus) != 0, tabStop);
            if (tabStop)
                tabStops.push_back(c.id);
            switch (c.kind) {
            case ControlKind::PushButton: {
                auto* button = qobject_cast<QPushButton*>(w);
                ASSERT_NE(button, nullptr);
                EXPECT_EQ(button->text().toStdString(), c.text);
                EXPECT_FALSE(button->isDefault());
                EXPECT_FALSE(button->autoDefault());
                break;
            }
            case ControlKind::AutoCheckBox: {
                auto* box = qobject_cast<QCheckBox*>(w);
                ASSERT_NE(box, nullptr);
                EXPECT_EQ(box->text().toStdString(), c.text);
                EXPECT_FALSE(box->isChecked());
                break;
            }
            case ControlKind::GroupBox:
                EXPECT_NE(qobject_cast<QGroupBox*>(w), nullptr);
                break;
            case ControlKind::StaticText: {
                auto* label = qobject_cast<QLabel*>(w);
                ASSERT_NE(label, nullptr);
                EXPECT_TRUE(label->alignment().testFlag(Qt::AlignLeft));
                break;
            }
            case ControlKind::HorizontalScrollBar:
                break;
            }
        }
        EXPECT_EQ(tabStops, (std::vector<int32_t>{IDC_QUIT, IDC_EXPORT_ALL, IDC_EXPORT, IDC_IMPORT,
                                                  IDC_CREATE_ARCHIVE, IDC_USE_TGA_PALETTE, IDC_FRAME_PREVIOUS,
                                                  IDC_FRAME_NEXT}));
        // The first portrait has four MEDIUM frames: the frame stepper is off.
        EXPECT_FALSE(session.Control(IDC_FRAME_PREVIOUS)->isEnabled());
        EXPECT_FALSE(session.Control(IDC_FRAME_NEXT)->isEnabled());

        // The labels show the first portrait once the window has painted.
        EXPECT_EQ(session.host.GetControlText(IDC_PORTRAIT_GROUP), "Portrait  1/12");
        EXPECT_EQ(session.host.GetControlText(IDC_FILE), PortraitName(0));

        // The scroll bar made at start-up, in pixels and not dialog units.
        QScrollBar* bar = session.ScrollBar();
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->parentWidget(), client);
        EXPECT_EQ(bar->geometry(), QRect(105, 332, 188, 25));
        EXPECT_EQ(bar->orientation(), Qt::Horizontal);
        EXPECT_TRUE(bar->isVisible());
        EXPECT_TRUE(bar->isEnabled());
        EXPECT_EQ(bar->minimum(), 1);
        EXPECT_EQ(bar->maximum(), 12);
        EXPECT_EQ(bar->value(), 1);
        EXPECT_EQ(bar->focusPolicy() & Qt::TabFocus, 0);

        // No button has the focus at first, the client area has it; Tab
        // walks the enabled tab stops in template order from "Quit" and
        // comes back to it.
        QWidget* quit = session.Control(IDC_QUIT);
        EXPECT_EQ(QApplication::focusWidget(), client);
        EXPECT_EQ(window->focusWidget(), client);
        std::vector<int32_t> walked;
        for (size_t i = 0; i + 1 < tabStops.size(); ++i) {
            QWidget* focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr);
            QTest::keyClick(focus, Qt::Key_Tab);
            for (int32_t id : tabStops)
                if (QApplication::focusWidget() == session.Control(id))
                    walked.push_back(id);
        }
        EXPECT_EQ(walked, (std::vector<int32_t>{IDC_QUIT, IDC_EXPORT_ALL, IDC_EXPORT, IDC_IMPORT, IDC_CREATE_ARCHIVE,
                                                IDC_USE_TGA_PALETTE, IDC_QUIT}));
        EXPECT_EQ(QApplication::focusWidget(), quit);

        // The window takes the place and size it is given, no smaller than
        // its least, and tells them, for the next start to show it so.
        session.host.SetWindowPlacement({20, 40, 1500, 600, false});
        WindowPlacement placement;
        ASSERT_TRUE(session.host.GetWindowPlacement(placement));
        EXPECT_EQ(placement, (WindowPlacement{20, 40, 1500, 600, false}));
        session.host.SetWindowPlacement({20, 40, 100, 100, false});
        ASSERT_TRUE(session.host.GetWindowPlacement(placement));
        EXPECT_EQ(QSize(placement.width, placement.height), window->minimumSize());

        // A box shown from below the dialog layer (an image's frame
        // decoder) goes the way of the dialog's own, without owner window.
        session.host.ShowUnownedMessageBox("Error!", "Memory Overwrite !");
        ASSERT_EQ(session.modals.boxes.size(), 1u);
        EXPECT_EQ(session.modals.boxes[0].text, "Error!");
        EXPECT_EQ(session.modals.boxes[0].caption, "Memory Overwrite !");
        EXPECT_FALSE(session.modals.boxes[0].question);
        EXPECT_EQ(session.modals.boxes[0].owner, nullptr);

        session.Perform(Do::QuitButton());
        EXPECT_FALSE(session.IsOpen());
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(session.modals.boxes.size(), 1u); // only the one above
    EXPECT_TRUE(FolderContents(games.window / "Portraits").empty());
}

TEST_F(QtWindowTest, DrivenThroughItsWidgetsTheWindowShowsWhatTheHeadlessHostDraws)
{
    // The second import brings its own colour map: index 77 is (1, 2, 3),
    // a colour that the image palette does not hold.
    std::vector<uint8_t> ownMap = TestColourMap();
    ownMap[77 * 3 + 0] = 3;
    ownMap[77 * 3 + 1] = 2;
    ownMap[77 * 3 + 2] = 1;
    const std::string medium = WriteFile("PAINTED_MEDIUM.TGA", SolidTga(11, 7, 88));
    const std::string large = WriteFile("PAINTED_LARGE.TGA", SolidTga(21, 15, 77, ownMap));
    WriteFile("notes.txt", {'n', 'o', 't', 'e'});
    const TwinGames games(MakePortraitEntries(Portraits()));

    const std::vector<Input> inputs = {
        Do::ClickSlot(4),             // 0: slot 4, MEDIUM frame 2
        Do::ClickAt(190, 10),         // 1: between slots: nothing
        Do::WheelAt(-120, 300, 200),  // 2: towards the user: portrait 2 of 12
        Do::WheelAt(-120, 300, 200),  // 3: portrait 3
        Do::WheelAt(120, 300, 200),   // 4: away from the user: portrait 2
        Do::ArrowRight(),             // 5: portrait 3, from where the wheel left the thumb
        Do::Export(),                 // 6: MEDIUM frame 2 of portrait 3
        Do::ImportFile(medium),       // 7: into slot 4
        Do::ToggleCheck(),            // 8: "Use TGA-Palette" on
        Do::ClickSlot(0),             // 9
        Do::ImportFile(large),        // 10: into slot 0
        Do::QuitButton(),             // 11: saves the two changed images
    };
    const std::vector<ViewSnapshot> headless = RunHeadless(games.headless.Base(), inputs);
    ASSERT_EQ(headless.size(), inputs.size() + 1);
    ASSERT_FALSE(headless.back().open);

    const std::string exported = PortraitName(2) + "2_MEDIUM.TGA";
    ScopedChdir cd(games.window.Base());
    WindowSession session;
    CPortraitEditorDlg dialog;
    const int32_t result = session.Run(dialog, [&] {
        {
            SCOPED_TRACE("after start-up");
            const QImage grabbed = session.Grab();
            ExpectSameView(session.Snapshot(dialog), grabbed, headless[0]);
            EXPECT_TRUE(BarShownUnder(grabbed, 0));
            EXPECT_EQ(ShownInSlot(grabbed, 0), TestPaletteRgb(1));
        }
        for (size_t i = 0; i < inputs.size() && session.IsOpen(); ++i) {
            SCOPED_TRACE("input " + std::to_string(i) + ": " + inputs[i].name);
            QImage grabbed;
            const ViewSnapshot shown = session.Step(dialog, inputs[i], grabbed);
            ExpectSameView(shown, grabbed, headless[i + 1]);
            QScrollBar* bar = session.ScrollBar();
            if (shown.open && bar) {
                // The control shows the position that the dialog keeps.
                EXPECT_EQ(bar->value(), dialog.ScrollBar()->GetScrollPos());
                EXPECT_EQ(bar->sliderPosition(), bar->value());
            }
            switch (i) {
            case 0:
                EXPECT_EQ(dialog.SelectedSlot(), 4);
                EXPECT_TRUE(BarShownUnder(grabbed, 4));
                EXPECT_FALSE(BarShownUnder(grabbed, 0));
                break;
            case 1: EXPECT_EQ(dialog.SelectedSlot(), 4); break;
            case 2:
                EXPECT_EQ(dialog.CurrentPortrait(), 1);
                EXPECT_EQ(bar->value(), 2);
                EXPECT_EQ(ShownInSlot(grabbed, 0), TestPaletteRgb(2));
                break;
            case 3: EXPECT_EQ(dialog.CurrentPortrait(), 2); break;
            case 4: EXPECT_EQ(dialog.CurrentPortrait(), 1); break;
            case 5:
                EXPECT_EQ(dialog.CurrentPortrait(), 2);
                EXPECT_EQ(bar->value(), 3);
                EXPECT_EQ(ShownInSlot(grabbed, 0), TestPaletteRgb(3));
                EXPECT_EQ(ShownInSlot(grabbed, 4), TestPaletteRgb(5));
                break;
            case 6: {
                // A box of the dialog's own, owned by the window; what it
                // looks like is QtModalDialogsTest's.
                ASSERT_EQ(session.modals.boxes.size(), 1u);
                const CScriptedModalDialogs::Box& box = session.modals.boxes[0];
                EXPECT_EQ(box.text.substr(0, box.text.find('\n')), "Portrait successfully saved.");
                EXPECT_EQ(box.caption, "Info");
                EXPECT_FALSE(box.question);
                EXPECT_EQ(box.owner, session.Window());
                EXPECT_TRUE(PathExists(games.window / ("Portraits/" + exported)));
                break;
            }
            case 7: {
                ASSERT_EQ(session.modals.fileRequests.size(), 1u);
                const CScriptedModalDialogs::FileRequest& asked = session.modals.fileRequests[0];
                EXPECT_EQ(asked.owner, session.Window());
                EXPECT_EQ(asked.request.bufferSize, 260u);
                // The dialog Qt's own would show for it opens in the game's
                // Portraits folder, where the export before wrote.
                const SeenFileDialog d = OpenFileDialogFor(asked.request);
                EXPECT_EQ(d.directory, Canonical(games.window / "Portraits"));
                EXPECT_EQ(d.nameFilters, (QStringList{"Images (*.tga *.TGA *.png *.PNG)", "TGA-Files (*.tga *.TGA)",
                                                      "PNG-Files (*.png *.PNG)", "All Files (*)"}));
                ASSERT_EQ(d.nameFilters.size(), 4);
                EXPECT_EQ(d.selectedNameFilter, d.nameFilters[0]);
                for (const QString& name : {QString::fromStdString(exported), QStringLiteral("painted.tga"),
                                            QStringLiteral("PAINTED.PNG"), QStringLiteral("painted.png")})
                    EXPECT_TRUE(FilterMatches(d.nameFilters[0], name)) << name.toStdString();
                EXPECT_FALSE(FilterMatches(d.nameFilters[0], "notes.txt"));
                EXPECT_TRUE(FilterMatches(d.nameFilters[1], QString::fromStdString(exported)));
                EXPECT_FALSE(FilterMatches(d.nameFilters[1], "PAINTED.PNG"));
                EXPECT_TRUE(FilterMatches(d.nameFilters[2], "painted.png"));
                EXPECT_FALSE(FilterMatches(d.nameFilters[2], "painted.tga"));
                EXPECT_TRUE(FilterMatches(d.nameFilters[3], "notes.txt"));
                EXPECT_EQ(d.fileMode, QFileDialog::ExistingFile);
                EXPECT_EQ(d.acceptMode, QFileDialog::AcceptOpen);
                EXPECT_TRUE(d.nonNative);
                EXPECT_EQ(ShownInSlot(grabbed, 4), TestPaletteRgb(88));
                EXPECT_EQ(ShownInSlot(grabbed, 3), TestPaletteRgb(4));
                EXPECT_EQ(session.modals.boxes.size(), 1u); // no message after a good import
                break;
            }
            case 8: EXPECT_TRUE(qobject_cast<QCheckBox*>(session.Control(IDC_USE_TGA_PALETTE))->isChecked()); break;
            case 10: {
                ASSERT_EQ(session.modals.fileRequests.size(), 2u);
                EXPECT_EQ(session.modals.fileRequests[1].owner, session.Window());
                // It opens where the last import took its file, with that
                // file selected, and lists the upper-case ".TGA" names.
                const SeenFileDialog d = OpenFileDialogFor(session.modals.fileRequests[1].request, true);
                EXPECT_EQ(d.directory, Canonical(files.Path()));
                ASSERT_EQ(d.selectedFiles.size(), 1);
                EXPECT_EQ(QFileInfo(d.selectedFiles[0]).canonicalFilePath(), Canonical(medium));
                EXPECT_TRUE(d.listedNames.contains("PAINTED_LARGE.TGA")) << d.listedNames.join(", ").toStdString();
                EXPECT_TRUE(d.listedNames.contains("PAINTED_MEDIUM.TGA")) << d.listedNames.join(", ").toStdString();
                EXPECT_FALSE(d.listedNames.contains("notes.txt")) << d.listedNames.join(", ").toStdString();
                EXPECT_EQ(ShownInSlot(grabbed, 0), 0x010203u);
                break;
            }
            case 11: EXPECT_FALSE(shown.open); break;
            default: break;
            }
        }
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(session.modals.fileRequests.size(), 2u);

    // Quitting saved the changed LARGE and MEDIUM images, and the window
    // wrote exactly what the headless host wrote.
    const auto written = FolderContents(games.window / "Portraits");
    EXPECT_EQ(written, FolderContents(games.headless / "Portraits"));
    std::vector<std::string> names;
    for (const auto& [name, bytes] : written)
        names.push_back(name);
    std::vector<std::string> expected = {exported, "L" + PortraitName(2) + ".GFX", "M" + PortraitName(2) + ".GFX"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
}

TEST_F(QtWindowTest, TheScrollBarAndTheWheelMoveAsTheDialogDecides)
{
    const TwinGames games(MakePortraitEntries(Portraits()));
    // Each input with the thumb position that the dialog's rules give: a
    // line is one portrait, a page five, clamped to 1 .. 12; one wheel
    // event is one portrait, whatever its size and wherever the pointer is.
    const std::vector<std::pair<Input, int32_t>> steps = {
        {Do::PageRight(), 6},
        {Do::ArrowRight(), 7},
        {Do::PageRight(), 12},
        {Do::ArrowRight(), 12},
        {Do::PageLeft(), 7},
        {Do::PageLeft(), 2},
        {Do::PageLeft(), 1},
        {Do::ArrowLeft(), 1},
        {Do::DragThumbToEnd(), 12},
        {Do::WheelAt(-120, 300, 200), 12},
        {Do::WheelAt(120, 300, 200), 11},
        {Do::ArrowLeft(), 10},
        {Do::WheelAt(-240, 450, 380), 11},
        {Do::WheelAt(15, 5, 5), 10},
        {Do::WheelOverScrollBar(120), 9},
        {Do::WheelOverScrollBar(-120), 10},
        {Do::WheelOverButton(-120), 11},
        {Do::DragThumbToStart(), 1},
        {Do::WheelAt(120, 300, 200), 1},
        {Do::ScrollHereAtEnd(), 12},
        {Do::ArrowLeft(), 11},
        {Do::EscapeKey(), 0},
    };
    std::vector<Input> inputs;
    for (const auto& step : steps)
        inputs.push_back(step.first);
    const std::vector<ViewSnapshot> headless = RunHeadless(games.headless.Base(), inputs);
    ASSERT_EQ(headless.size(), inputs.size() + 1);

    ScopedChdir cd(games.window.Base());
    WindowSession session;
    CPortraitEditorDlg dialog;
    const int32_t result = session.Run(dialog, [&] {
        ExpectSameView(session.Snapshot(dialog), session.Grab(), headless[0]);
        for (size_t i = 0; i < steps.size() && session.IsOpen(); ++i) {
            const auto& [input, position] = steps[i];
            SCOPED_TRACE("input " + std::to_string(i) + ": " + input.name);
            QImage grabbed;
            const ViewSnapshot shown = session.Step(dialog, input, grabbed);
            ExpectSameView(shown, grabbed, headless[i + 1]);
            if (!shown.open)
                break;
            QScrollBar* bar = session.ScrollBar();
            ASSERT_NE(bar, nullptr);
            EXPECT_EQ(dialog.ScrollBar()->GetScrollPos(), position);
            EXPECT_EQ(bar->value(), position);
            EXPECT_EQ(bar->sliderPosition(), position);
            EXPECT_FALSE(bar->isSliderDown());
            EXPECT_EQ(dialog.CurrentPortrait(), position - 1);
            EXPECT_EQ(ShownInSlot(grabbed, 0), TestPaletteRgb(position));
        }
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(session.modals.boxes.empty());
    EXPECT_TRUE(FolderContents(games.window / "Portraits").empty());
}

TEST_F(QtWindowTest, TheOpenFileDialogTakesExistingFilesOnlyAndACancelSaysNothing)
{
    const TwinGames games(MakePortraitEntries(Portraits()));
    const std::string good = WriteFile("GOOD_LARGE.TGA", SolidTga(21, 15, 77));
    const std::string wide = WriteFile("WIDE_LARGE.TGA", SolidTga(22, 15, 78));
    const std::string missing = files / "MISSING.TGA";
    const char kNotLoaded[] = "Could not load TGA. Wrong size and/or colordepth.";

    const std::vector<Input> parity = {Do::CancelImport(), Do::ImportFile(wide), Do::ImportFile(good), Do::ExportAll(),
                                       Do::CreateArchive()};
    games.window.Dir().MakeFolder("PATCHES");
    games.headless.Dir().MakeFolder("PATCHES");
    const std::vector<ViewSnapshot> headless = RunHeadless(games.headless.Base(), parity);

    ScopedChdir cd(games.window.Base());
    WindowSession session;
    CPortraitEditorDlg dialog;
    const int32_t result = session.Run(dialog, [&] {
        for (size_t i = 0; i < parity.size(); ++i) {
            SCOPED_TRACE("input " + std::to_string(i) + ": " + parity[i].name);
            QImage grabbed;
            const ViewSnapshot shown = session.Step(dialog, parity[i], grabbed);
            ExpectSameView(shown, grabbed, headless[i + 1]);
            if (i == 0) {
                EXPECT_TRUE(shown.messages.empty());
            } else if (i == 1) {
                ASSERT_EQ(shown.messages.size(), 1u);
                EXPECT_EQ(shown.messages[0].first,
                          std::string(kNotLoaded) + "\nThe file is 22 x 15; this frame is 21 x 15.");
                EXPECT_EQ(shown.messages[0].second, "Info");
                EXPECT_EQ(ShownInSlot(grabbed, 0), TestPaletteRgb(1));
            } else if (i == 2) {
                EXPECT_TRUE(shown.messages.empty());
                EXPECT_EQ(ShownInSlot(grabbed, 0), TestPaletteRgb(77));
            } else {
                ASSERT_EQ(shown.messages.size(), 1u);
                EXPECT_EQ(shown.messages[0].second, "Info");
            }
        }
        const std::vector<CScriptedModalDialogs::FileRequest>& asked = session.modals.fileRequests;
        ASSERT_EQ(asked.size(), 3u);
        // The dialog opens in the game's Portraits folder until a file was
        // chosen, a cancel changing nothing; after that, where the last
        // file was, that file chosen.
        EXPECT_EQ(OpenFileDialogFor(asked[0].request).directory, Canonical(games.window / "Portraits"));
        EXPECT_EQ(OpenFileDialogFor(asked[1].request).directory, Canonical(games.window / "Portraits"));
        EXPECT_EQ(OpenFileDialogFor(asked[2].request).directory, Canonical(files.Path()));
        EXPECT_EQ(OpenFileDialogFor(asked[2].request).selectedFiles, QStringList{QString::fromStdString(wide)});

        // A name that does not exist is refused by the dialog itself, which
        // stays open until it is cancelled (QtModalDialogsTest); nothing
        // follows.
        EXPECT_TRUE(asked[2].request.flags & OFN_FILEMUSTEXIST);
        EXPECT_TRUE(OpenFileDialogRefuses(asked[2].request, missing));
        const size_t boxesBefore = session.modals.boxes.size();
        session.Perform(Do::CancelImport());
        ASSERT_EQ(asked.size(), 4u);
        EXPECT_EQ(session.modals.boxes.size(), boxesBefore);
        EXPECT_EQ(dialog.ImportStartPath(), good);
        EXPECT_EQ(ShownInSlot(session.Grab(), 0), TestPaletteRgb(77));
        session.Perform(Do::CloseBox());
    });
    EXPECT_EQ(result, IDCANCEL);
    // The one good import was saved when the close box closed the window,
    // next to the files of Export All.
    const auto written = FolderContents(games.window / "Portraits");
    EXPECT_EQ(written.count("L" + PortraitName(0) + ".GFX"), 1u);
    EXPECT_EQ(written.count(PortraitName(0) + "_LARGE.TGA"), 1u);
    EXPECT_EQ(written.count("S" + PortraitName(0) + "_SMALL.TGA"), 1u);
    EXPECT_TRUE(PathExists(games.window / "PATCHES/PATCH.010"));
}

// A dialog that ends itself while it starts: the window never shows, the
// result is the one it ended with, and nothing of the window is left.
class CEndsWhileStarting : public CDialog {
public:
    CEndsWhileStarting() : CDialog(PortraitEditorDialogTemplate()) {}
    bool OnInitDialog() override
    {
        CDialog::OnInitDialog();
        EndDialog(IDOK);
        return true;
    }
};

TEST_F(QtWindowTest, ADialogThatEndsWhileStartingReturnsItsResultAndLeavesNoWindow)
{
    WindowSession session;
    CEndsWhileStarting dialog;
    const int32_t result = session.Run(dialog, [] { ADD_FAILURE() << "the window ran its modal loop"; });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(session.Window(), nullptr);
    EXPECT_EQ(session.Control(IDC_QUIT), nullptr);
    EXPECT_TRUE(session.modals.boxes.empty());
}

// The editor whose Export runs out of memory half-way.
class CExportRunsOutOfMemory : public CPortraitEditorDlg {
protected:
    const MessageMap& GetMessageMap() const override
    {
        static const MessageMap map = [this] {
            MessageMap m = {{MessageKind::Command, IDC_EXPORT, [](CDialog&, DialogMessage&) { throw std::bad_alloc(); }}};
            const MessageMap& editor = CPortraitEditorDlg::GetMessageMap();
            m.insert(m.end(), editor.begin(), editor.end());
            return m;
        }();
        return map;
    }
};

TEST_F(QtWindowTest, AnActionThatThrowsIsReportedAndTheEditorGoesOn)
{
    const TwinGames games(MakePortraitEntries(Portraits()));
    ScopedChdir cd(games.window.Base());
    WindowSession session;
    CExportRunsOutOfMemory dialog;
    const int32_t result = session.Run(dialog, [&] {
        session.Perform(Do::Export());
        EXPECT_TRUE(session.IsOpen());
        session.Perform(Do::ArrowRight());
        EXPECT_EQ(dialog.CurrentPortrait(), 1);
        session.Perform(Do::QuitButton());
    });
    EXPECT_EQ(result, IDOK);
    ASSERT_EQ(session.modals.boxes.size(), 1u);
    EXPECT_EQ(session.modals.boxes[0].caption, "Error");
    EXPECT_NE(session.modals.boxes[0].text.find("there was not enough memory"), std::string::npos);
    EXPECT_TRUE(FolderContents(games.window / "Portraits").empty());
}

TEST_F(QtWindowTest, TerminationSignalsSaveAsQuitDoesAndEndTheWindow)
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        const TwinGames games(MakePortraitEntries(Portraits()));
        const std::string small = WriteFile("PAINTED_SMALL.TGA", SolidTga(5, 3, 66));
        ScopedChdir cd(games.window.Base());
        WindowSession session;
        CPortraitEditorDlg dialog;
        const int32_t result = session.Run(dialog, [&] {
            session.Perform(Do::ClickSlot(2));
            session.Perform(Do::ImportFile(small));
            // The handler only marks the signal; the event loop saves.
            QSignalSpy finished(session.Window(), &QDialog::finished);
            std::raise(signal);
            EXPECT_TRUE(finished.wait(20000));
            EXPECT_FALSE(session.IsOpen());
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(ListFolder(games.window / "Portraits"), std::vector<std::string>{"S" + PortraitName(0) + ".GFX"});
    }
    // Once the window is gone the signals are the process's own again.
    struct sigaction now = {};
    ::sigaction(SIGTERM, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

// Quit, Enter, Escape and the close box all save the changed images of the
// current portrait and end the dialog; Quit and Enter with OK, the others
// with cancel.
struct WayOut {
    const char* name;
    Input (*input)();
    bool ok; // ends the dialog with OK, not cancel
};

void PrintTo(const WayOut& way, std::ostream* out)
{
    *out << way.name;
}

class QtQuitTest : public QtWindowTest, public ::testing::WithParamInterface<WayOut> {};

TEST_P(QtQuitTest, EveryWayOutSavesTheChangedImages)
{
    const TwinGames games(MakePortraitEntries(Portraits()));
    const std::string small = WriteFile("PAINTED_SMALL.TGA", SolidTga(5, 3, 66));
    const std::vector<Input> inputs = {Do::ArrowRight(), Do::ClickSlot(2), Do::ImportFile(small), GetParam().input()};
    const std::vector<ViewSnapshot> headless = RunHeadless(games.headless.Base(), inputs);
    ASSERT_FALSE(headless.back().open);
    const bool ok = GetParam().ok;

    ScopedChdir cd(games.window.Base());
    WindowSession session;
    CPortraitEditorDlg dialog;
    const int32_t result = session.Run(dialog, [&] {
        for (size_t i = 0; i < inputs.size(); ++i) {
            SCOPED_TRACE("input " + std::to_string(i) + ": " + inputs[i].name);
            if (i + 1 == inputs.size()) {
                // Nothing is saved before the way out is taken.
                EXPECT_TRUE(FolderContents(games.window / "Portraits").empty());
            }
            QImage grabbed;
            const ViewSnapshot shown = session.Step(dialog, inputs[i], grabbed);
            ExpectSameView(shown, grabbed, headless[i + 1]);
        }
        EXPECT_FALSE(session.IsOpen());
    });
    EXPECT_EQ(result, ok ? IDOK : IDCANCEL);
    EXPECT_EQ(result, headless.back().result);
    EXPECT_TRUE(session.modals.boxes.empty());
    const auto written = FolderContents(games.window / "Portraits");
    EXPECT_EQ(written, FolderContents(games.headless / "Portraits"));
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written.begin()->first, "S" + PortraitName(1) + ".GFX");
}

INSTANTIATE_TEST_SUITE_P(WaysOut, QtQuitTest,
                         ::testing::Values(WayOut{"QuitButton", Do::QuitButton, true},
                                           WayOut{"EnterKey", Do::EnterOnQuit, true},
                                           WayOut{"EscapeKey", Do::EscapeKey, false},
                                           WayOut{"CloseBox", Do::CloseBox, false}),
                         [](const ::testing::TestParamInfo<WayOut>& p) { return std::string(p.param.name); });

} // namespace

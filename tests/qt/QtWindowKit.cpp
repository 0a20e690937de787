#include "QtWindowKit.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>
#include <filesystem>
#include <sstream>

namespace {

// Generous for a loaded machine running sanitised code, yet bounded: a wait
// that never ends fails the test instead of blocking the run.
constexpr int kWindowWaitMs = 20000;

constexpr int32_t kLabelIds[] = {IDC_PORTRAIT_GROUP, IDC_RACE, IDC_GENDER, IDC_FILE, IDC_COLORS};
constexpr int32_t kBar = IDC_PORTRAIT_SCROLLBAR;

// The centre of a template control, in client pixels.
ClientPoint TemplateControlCentre(int32_t id)
{
    for (const ControlTemplate& c : PortraitEditorDialogTemplate().controls) {
        if (c.id == id) {
            const PixelRect r = ControlRectInPixels(c);
            return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        }
    }
    return {0, 0};
}

// Where the scroll bar is made at start-up, in client pixels.
constexpr ClientPoint kScrollBarCentre = {(105 + 293) / 2, (332 + 357) / 2};

// Where the style puts a part of the scroll bar (arrow, page area, thumb),
// in the bar's own coordinates.
QRect ScrollBarPart(const QScrollBar& bar, QStyle::SubControl part)
{
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.subControls = QStyle::SC_All;
    option.activeSubControls = QStyle::SC_None;
    option.orientation = bar.orientation();
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = bar.sliderPosition();
    option.sliderValue = bar.value();
    option.singleStep = bar.singleStep();
    option.pageStep = bar.pageStep();
    option.upsideDown = bar.invertedAppearance();
    if (bar.orientation() == Qt::Horizontal)
        option.state |= QStyle::State_Horizontal;
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar);
}

QScrollBar* Bar(WindowSession& session)
{
    QScrollBar* bar = session.ScrollBar();
    if (!bar)
        ADD_FAILURE() << "the window has no scroll bar";
    return bar;
}

void ClickScrollBarPart(WindowSession& session, QStyle::SubControl part)
{
    QScrollBar* bar = Bar(session);
    if (!bar)
        return;
    const QRect r = ScrollBarPart(*bar, part);
    if (r.isEmpty()) {
        ADD_FAILURE() << "the scroll bar shows no part " << static_cast<int>(part);
        return;
    }
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, r.center());
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Presses the thumb, moves it in a few steps past one end and lets it go.
void DragThumb(WindowSession& session, bool toEnd)
{
    QScrollBar* bar = Bar(session);
    if (!bar)
        return;
    const QRect thumb = ScrollBarPart(*bar, QStyle::SC_ScrollBarSlider);
    if (thumb.isEmpty()) {
        ADD_FAILURE() << "the scroll bar shows no thumb";
        return;
    }
    const QPoint start = thumb.center();
    const QPoint end(toEnd ? bar->width() + 40 : -40, start.y());
    SendMouse(bar, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    constexpr int kMoves = 4;
    for (int i = 1; i <= kMoves; ++i)
        SendMouse(bar, QEvent::MouseMove, start + (end - start) * i / kMoves, Qt::NoButton, Qt::LeftButton);
    SendMouse(bar, QEvent::MouseButtonRelease, end, Qt::LeftButton, Qt::NoButton);
}

// A wheel notch as the platform delivers it: spontaneous, so that a widget
// that ignores it hands it on to its parent.
void SendWheel(QWidget* widget, QPoint at, int16_t delta)
{
    QWheelEvent event(QPointF(at), QPointF(widget->mapToGlobal(at)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    // sendEvent would clear the flag again; QTest delivers its input the
    // same way.
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::instance()->notify(widget, &event);
}

void ClickButton(QWidget* widget)
{
    auto* button = qobject_cast<QAbstractButton*>(widget);
    if (!button) {
        ADD_FAILURE() << "no such button";
        return;
    }
    if (auto* box = qobject_cast<QCheckBox*>(button)) {
        // A check box reacts to clicks on its box and label only.
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        const QRect r = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, r.center());
        return;
    }
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
}

void KeyToFocus(WindowSession& session, Qt::Key key)
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != session.Window()) {
        ADD_FAILURE() << "the window has no focus widget for a key";
        focus = session.Window();
    }
    QTest::keyClick(focus, key);
}

// A push of a button in the window, a command on the headless host.
Input Button(std::string name, int32_t id, int32_t command)
{
    return {std::move(name), [id](WindowSession& s) { ClickButton(s.Control(id)); },
            [command](CScriptedHost& h) { h.Command(command); }};
}

Input ScrollBarPartInput(std::string name, QStyle::SubControl part, int32_t code)
{
    return {std::move(name), [part](WindowSession& s) { ClickScrollBarPart(s, part); },
            [code](CScriptedHost& h) { h.Scroll(kBar, code); }};
}

Input ThumbDrag(std::string name, bool toEnd)
{
    return {std::move(name), [toEnd](WindowSession& s) { DragThumb(s, toEnd); },
            [toEnd](CScriptedHost& h) {
                const CScriptedHost::ScrollBarState* s = h.ScrollBar(kBar);
                const int32_t target = s ? (toEnd ? s->max : s->min) : 0;
                h.Scroll(kBar, SB_THUMBTRACK, target);
                h.Scroll(kBar, SB_THUMBPOSITION, target);
                h.Scroll(kBar, SB_ENDSCROLL);
            }};
}

Input WheelOverControl(std::string name, int16_t delta, int32_t id, ClientPoint at)
{
    return {std::move(name),
            [delta, id](WindowSession& s) {
                if (QWidget* w = s.Control(id))
                    SendWheel(w, w->rect().center(), delta);
                else
                    ADD_FAILURE() << "the window has no control " << id;
            },
            [delta, at](CScriptedHost& h) { h.Wheel(delta, at); }};
}

std::string Hex(uint32_t rgb)
{
    std::ostringstream s;
    s << "0x" << std::hex << rgb;
    return s.str();
}

} // namespace

namespace Do {

Input ClickAt(int32_t x, int32_t y)
{
    return {"click at (" + std::to_string(x) + ", " + std::to_string(y) + ")",
            [x, y](WindowSession& s) { QTest::mouseClick(s.Client(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y)); },
            [x, y](CScriptedHost& h) { h.Click(x, y); }};
}

Input ClickSlot(int32_t slot)
{
    PixelRect r{};
    CPortraitEditorDlg::GetSlotRect(slot, r);
    return ClickAt(r.left + 1, r.top + 1);
}

Input WheelAt(int16_t delta, int32_t x, int32_t y)
{
    return {"wheel " + std::to_string(delta) + " at (" + std::to_string(x) + ", " + std::to_string(y) + ")",
            [=](WindowSession& s) { SendWheel(s.Client(), QPoint(x, y), delta); },
            [=](CScriptedHost& h) { h.Wheel(delta, {x, y}); }};
}

Input WheelOverScrollBar(int16_t delta)
{
    return WheelOverControl("wheel " + std::to_string(delta) + " over the scroll bar", delta, kBar,
                            kScrollBarCentre);
}

Input WheelOverButton(int16_t delta)
{
    return WheelOverControl("wheel " + std::to_string(delta) + " over a button", delta, IDC_EXPORT_ALL,
                            TemplateControlCentre(IDC_EXPORT_ALL));
}

Input ArrowLeft() { return ScrollBarPartInput("left arrow", QStyle::SC_ScrollBarSubLine, SB_LINELEFT); }
Input ArrowRight() { return ScrollBarPartInput("right arrow", QStyle::SC_ScrollBarAddLine, SB_LINERIGHT); }
Input PageLeft() { return ScrollBarPartInput("page left", QStyle::SC_ScrollBarSubPage, SB_PAGELEFT); }
Input PageRight() { return ScrollBarPartInput("page right", QStyle::SC_ScrollBarAddPage, SB_PAGERIGHT); }
Input DragThumbToStart() { return ThumbDrag("thumb dragged to the start", false); }
Input DragThumbToEnd() { return ThumbDrag("thumb dragged to the end", true); }

Input ScrollHereAtEnd()
{
    return {"\"Scroll here\" at the end of the scroll bar",
            [](WindowSession& s) {
                QScrollBar* bar = Bar(s);
                if (!bar)
                    return;
                // At the groove's right end "Scroll here" means the last
                // position. The entry is chosen from the menu's own loop,
                // with the keys a user would press.
                const QRect groove = ScrollBarPart(*bar, QStyle::SC_ScrollBarGroove);
                const QPoint at(groove.right(), groove.center().y());
                const CallFromNextLoop choose([] {
                    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                    if (!menu) {
                        ADD_FAILURE() << "no context menu is open";
                        return;
                    }
                    for (QAction* action : menu->actions()) {
                        if (action->text() == QStringLiteral("Scroll here")) {
                            menu->setActiveAction(action);
                            QTest::keyClick(menu, Qt::Key_Return);
                            return;
                        }
                    }
                    ADD_FAILURE() << "the context menu has no \"Scroll here\"";
                    menu->close();
                });
                QContextMenuEvent event(QContextMenuEvent::Mouse, at, bar->mapToGlobal(at));
                QApplication::sendEvent(bar, &event);
                EXPECT_TRUE(choose.Ran()) << "no context menu opened";
            },
            [](CScriptedHost& h) {
                // The platform's scroll bar sends the position of "Scroll here".
                if (const CScriptedHost::ScrollBarState* s = h.ScrollBar(kBar)) {
                    h.Scroll(kBar, SB_THUMBPOSITION, s->max);
                    h.Scroll(kBar, SB_ENDSCROLL);
                }
            }};
}

Input Export() { return Button("Export", IDC_EXPORT, IDC_EXPORT); }
Input ExportAll() { return Button("Export All", IDC_EXPORT_ALL, IDC_EXPORT_ALL); }
Input CreateArchive() { return Button("Create Archive", IDC_CREATE_ARCHIVE, IDC_CREATE_ARCHIVE); }
Input QuitButton() { return Button("Quit", IDC_QUIT, IDOK); }

Input ImportFile(const std::string& path)
{
    return {"Import " + path,
            [path](WindowSession& s) {
                s.modals.QueueFile(path);
                ClickButton(s.Control(IDC_IMPORT));
            },
            [path](CScriptedHost& h) {
                h.QueueOpenFileAnswer(path);
                h.Command(IDC_IMPORT);
            }};
}

Input CancelImport()
{
    return {"Import cancelled",
            [](WindowSession& s) {
                s.modals.QueueFile(std::nullopt);
                ClickButton(s.Control(IDC_IMPORT));
            },
            [](CScriptedHost& h) {
                h.QueueOpenFileAnswer(std::nullopt);
                h.Command(IDC_IMPORT);
            }};
}

Input ToggleCheck()
{
    return {"check box", [](WindowSession& s) { ClickButton(s.Control(IDC_USE_TGA_PALETTE)); },
            [](CScriptedHost& h) { h.ToggleCheck(IDC_USE_TGA_PALETTE); }};
}

Input ChooseMenuItem(int32_t id)
{
    const MenuItemTemplate* item = FindMenuItem(PortraitEditorMenu(), id);
    return {"menu item " + (item ? item->text : std::to_string(id)),
            [id](WindowSession& s) {
                if (QAction* action = s.host.MenuAction(id))
                    action->trigger();
                else
                    ADD_FAILURE() << "the menu bar has no item " << id;
            },
            [id](CScriptedHost& h) { h.ChooseMenuItem(id); }};
}

Input EnterKey()
{
    return {"Enter", [](WindowSession& s) { KeyToFocus(s, Qt::Key_Return); },
            [](CScriptedHost& h) { h.Key(VK_RETURN); }};
}

Input KeyPress(std::string name, Qt::Key key, uint32_t code)
{
    return {std::move(name), [key](WindowSession& s) { KeyToFocus(s, key); },
            [code](CScriptedHost& h) { h.Key(code); }};
}

Input TabTo(int32_t id)
{
    return {"Tab to " + std::to_string(id),
            [id](WindowSession& s) {
                for (int i = 0; i < 16 && QApplication::focusWidget() != s.Control(id); ++i)
                    KeyToFocus(s, Qt::Key_Tab);
                EXPECT_EQ(QApplication::focusWidget(), s.Control(id));
            },
            [id](CScriptedHost& h) { h.SetFocus(id); }};
}

Input EnterOnQuit()
{
    const Input tab = TabTo(IDC_QUIT), enter = EnterKey();
    return {"Enter on Quit",
            [tab, enter](WindowSession& s) {
                tab.inWindow(s);
                enter.inWindow(s);
            },
            [tab, enter](CScriptedHost& h) {
                tab.headless(h);
                enter.headless(h);
            }};
}

Input EscapeKey()
{
    return {"Escape", [](WindowSession& s) { KeyToFocus(s, Qt::Key_Escape); },
            [](CScriptedHost& h) { h.Key(VK_ESCAPE); }};
}

Input CloseBox()
{
    return {"close box", [](WindowSession& s) { s.Window()->close(); }, [](CScriptedHost& h) { h.Command(IDCANCEL); }};
}

} // namespace Do

namespace {

// The check box's state and each menu item's, as isChecked tells them.
std::map<int32_t, bool> Checks(const std::function<bool(int32_t)>& isChecked, int32_t box)
{
    std::map<int32_t, bool> checks = {{IDC_USE_TGA_PALETTE, box != 0}};
    for (const PopupMenuTemplate& popup : PortraitEditorMenu().menus)
        for (const MenuItemTemplate& item : popup.items)
            if (item.id != 0)
                checks[item.id] = isChecked(item.id);
    return checks;
}

// A message as both runs show it: each names its own game folder, which
// reads "GAME" here.
std::string WithoutGameFolder(std::string text, const CPortraitEditorDlg& dialog)
{
    const std::string folder = CFileSystem::ResolvePath(dialog.BaseDir());
    for (size_t at = folder.empty() ? std::string::npos : text.find(folder); at != std::string::npos;
         at = text.find(folder, at))
        text.replace(at, folder.size(), "GAME");
    return text;
}

ViewSnapshot HeadlessSnapshot(const CScriptedHost& host, const CPortraitEditorDlg& dialog, size_t firstMessage)
{
    ViewSnapshot s;
    s.canvas = const_cast<CScriptedHost&>(host).Canvas();
    s.portrait = dialog.CurrentPortrait();
    s.slot = dialog.SelectedSlot();
    if (const CScriptedHost::ScrollBarState* bar = host.ScrollBar(kBar)) {
        s.scrollPos = bar->position;
        s.scrollMin = bar->min;
        s.scrollMax = bar->max;
    }
    for (int32_t id : kLabelIds)
        s.labels[id] = host.GetControlText(id);
    s.checks = Checks([&host](int32_t id) { return host.IsMenuItemChecked(id); }, host.GetCheck(IDC_USE_TGA_PALETTE));
    for (size_t i = firstMessage; i < host.Messages().size(); ++i)
        s.messages.emplace_back(WithoutGameFolder(host.Messages()[i].text, dialog), host.Messages()[i].caption);
    s.open = host.IsOpen();
    s.result = host.Result();
    return s;
}

} // namespace

std::vector<ViewSnapshot> RunHeadless(const std::string& baseDir, const std::vector<Input>& inputs)
{
    std::vector<ViewSnapshot> snapshots;
    ScopedChdir cd(baseDir);
    CScriptedHost host;
    CPortraitEditorDlg dialog;
    host.Open(dialog);
    snapshots.push_back(HeadlessSnapshot(host, dialog, 0));
    for (const Input& in : inputs) {
        const size_t before = host.Messages().size();
        if (host.IsOpen())
            in.headless(host);
        snapshots.push_back(HeadlessSnapshot(host, dialog, before));
    }
    return snapshots;
}

PixelRect SlotAreaWithBar(int32_t slot)
{
    PixelRect r{};
    CPortraitEditorDlg::GetSlotRect(slot, r);
    return {r.left, r.top, r.right + 1, r.bottom + 5};
}

void ExpectSameView(const ViewSnapshot& window, const QImage& grabbed, const ViewSnapshot& headless)
{
    EXPECT_EQ(window.open, headless.open);
    if (!window.open || !headless.open) {
        EXPECT_EQ(window.result, headless.result);
        return;
    }

    // The canvas that the window shows, pixel by pixel.
    ASSERT_EQ(window.canvas.Width(), headless.canvas.Width());
    ASSERT_EQ(window.canvas.Height(), headless.canvas.Height());
    int canvasDiffs = 0;
    std::string firstCanvasDiff;
    for (int32_t y = 0; y < headless.canvas.Height(); ++y) {
        for (int32_t x = 0; x < headless.canvas.Width(); ++x) {
            if (window.canvas.GetPixel(x, y) == headless.canvas.GetPixel(x, y))
                continue;
            if (canvasDiffs++ == 0)
                firstCanvasDiff = "(" + std::to_string(x) + ", " + std::to_string(y) + "): " +
                                  Hex(window.canvas.GetPixel(x, y)) + " in the window, " +
                                  Hex(headless.canvas.GetPixel(x, y)) + " headless";
        }
    }
    EXPECT_EQ(canvasDiffs, 0) << "canvas pixels differ, first at " << firstCanvasDiff;

    // What reaches the screen: the grabbed window in the slot areas, where
    // no control lies and no font decides a pixel.
    ASSERT_EQ(grabbed.width(), headless.canvas.Width());
    ASSERT_EQ(grabbed.height(), headless.canvas.Height());
    int shownDiffs = 0;
    std::string firstShownDiff;
    for (int32_t slot = 0; slot < CPortraitEditorDlg::kSlotCount; ++slot) {
        const PixelRect r = SlotAreaWithBar(slot);
        for (int32_t y = r.top; y < r.bottom; ++y) {
            for (int32_t x = r.left; x < r.right; ++x) {
                const uint32_t shown = grabbed.pixel(x, y) & 0xFFFFFFu;
                if (shown == headless.canvas.GetPixel(x, y))
                    continue;
                if (shownDiffs++ == 0)
                    firstShownDiff = "(" + std::to_string(x) + ", " + std::to_string(y) + "): " + Hex(shown) +
                                     " shown, " + Hex(headless.canvas.GetPixel(x, y)) + " headless";
            }
        }
    }
    EXPECT_EQ(shownDiffs, 0) << "grabbed pixels differ in the slot areas, first at " << firstShownDiff;

    EXPECT_EQ(window.portrait, headless.portrait);
    EXPECT_EQ(window.slot, headless.slot);
    EXPECT_EQ(window.scrollPos, headless.scrollPos);
    EXPECT_EQ(window.scrollMin, headless.scrollMin);
    EXPECT_EQ(window.scrollMax, headless.scrollMax);
    EXPECT_EQ(window.labels, headless.labels);
    EXPECT_EQ(window.checks, headless.checks);
    EXPECT_EQ(window.messages, headless.messages);
}

std::map<std::string, std::vector<uint8_t>> FolderContents(const std::string& path)
{
    std::map<std::string, std::vector<uint8_t>> contents;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(path, ec)) {
        const std::string name = entry.path().filename().string();
        contents[name] = entry.is_regular_file() ? ReadFileBytes(entry.path().string()) : std::vector<uint8_t>{};
    }
    return contents;
}

// The session.

bool WindowSession::IsOpen() const
{
    return Window() && Window()->isVisible();
}

QScrollBar* WindowSession::ScrollBar() const
{
    return qobject_cast<QScrollBar*>(host.ControlWidget(kBar));
}

int32_t WindowSession::Run(CDialog& dialog, const std::function<void()>& steps)
{
    host.SetOnShown([this, &steps](CQtDialogHost& h) {
        // The window as context: should the dialog end before the loop
        // runs, the pending call goes with the window.
        QTimer::singleShot(0, h.Window(), [this, &steps] {
            const bool ready = QTest::qWaitForWindowExposed(Window(), kWindowWaitMs) &&
                               QTest::qWaitForWindowActive(Window(), kWindowWaitMs);
            EXPECT_TRUE(ready) << "the window was not shown and activated in time";
            try {
                if (ready)
                    steps();
            } catch (const std::exception& e) {
                ADD_FAILURE() << "a step threw: " << e.what();
            }
            if (IsOpen())
                host.EndDialog(IDCANCEL);
        });
    });
    const int32_t result = dialog.DoModal(host);
    host.SetOnShown(nullptr);
    return result;
}

void WindowSession::Perform(const Input& in)
{
    if (!IsOpen()) {
        ADD_FAILURE() << "the window closed before the input: " << in.name;
        return;
    }
    // Input goes to the active window, as a user's would. The offscreen
    // platform has no window manager to hand the activation back after a
    // box of Qt's own, so the test does what one would.
    if (QApplication::activeWindow() != Window()) {
        Window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(Window(), kWindowWaitMs))
            << "the window is not active for the input: " << in.name;
    }
    in.inWindow(*this);
    // An answer that no dialog asked for would answer a later one.
    EXPECT_TRUE(modals.TakeAllAnswered()) << "an answer was not asked for by: " << in.name;
}

QImage WindowSession::Grab() const
{
    if (!IsOpen())
        return {};
    return Client()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

ViewSnapshot WindowSession::Step(const CPortraitEditorDlg& dialog, const Input& input, QImage& grabbed)
{
    const size_t firstBox = modals.boxes.size();
    Perform(input);
    grabbed = Grab();
    return Snapshot(dialog, firstBox);
}

ViewSnapshot WindowSession::Snapshot(const CPortraitEditorDlg& dialog, size_t firstBox)
{
    ViewSnapshot s;
    s.canvas = host.Canvas();
    s.portrait = dialog.CurrentPortrait();
    s.slot = dialog.SelectedSlot();
    s.scrollPos = host.GetScrollPos(kBar);
    host.GetScrollRange(kBar, s.scrollMin, s.scrollMax);
    for (int32_t id : kLabelIds)
        s.labels[id] = host.GetControlText(id);
    s.checks = Checks([this](int32_t id) { return host.IsMenuItemChecked(id); }, host.GetCheck(IDC_USE_TGA_PALETTE));
    for (size_t i = firstBox; i < modals.boxes.size(); ++i)
        s.messages.emplace_back(WithoutGameFolder(modals.boxes[i].text, dialog), modals.boxes[i].caption);
    s.open = IsOpen();
    s.result = !s.open && Window() ? Window()->result() : 0;
    return s;
}

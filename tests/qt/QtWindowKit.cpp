#include "QtWindowKit.h"

#include <QAbstractButton>
#include <QAction>
#include <QContextMenuEvent>
#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>
#include <QTest>
#include <QThread>
#include <QWheelEvent>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>
#include <exception>
#include <filesystem>
#include <sstream>

namespace {

// Generous for a loaded machine running sanitised code, yet bounded: a step
// that hangs fails the test instead of blocking the run.
constexpr int kWindowWaitMs = 20000;
constexpr int kWatchdogMs = 180000;

constexpr int32_t kLabelIds[] = {IDC_PORTRAIT_GROUP, IDC_RACE, IDC_GENDER, IDC_FILE, IDC_COLORS};

QPoint Centre(const PixelRect& r)
{
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The client rectangle of a template control, in pixels.
PixelRect TemplateControlRect(int32_t id)
{
    for (const ControlTemplate& c : PortraitEditorDialogTemplate().controls)
        if (c.id == id)
            return ControlRectInPixels(c);
    return {0, 0, 0, 0};
}

constexpr PixelRect kScrollBarRect = {105, 332, 293, 357};

QStyleOptionSlider ScrollBarOption(const QScrollBar& bar)
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
    return option;
}

// Where the style puts a part of the scroll bar (arrow, page area, thumb),
// in the bar's own coordinates.
QRect ScrollBarPart(const QScrollBar& bar, QStyle::SubControl part)
{
    const QStyleOptionSlider option = ScrollBarOption(bar);
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar);
}

void ClickScrollBarPart(QScrollBar* bar, QStyle::SubControl part)
{
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
void DragThumb(QScrollBar* bar, bool toEnd)
{
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

void KeyToFocus(QDialog* window, Qt::Key key)
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != window) {
        ADD_FAILURE() << "the window has no focus widget for a key";
        focus = window;
    }
    QTest::keyClick(focus, key);
}

std::string Hex(uint32_t rgb)
{
    std::ostringstream s;
    s << "0x" << std::hex << rgb;
    return s.str();
}

} // namespace


Input ClickAt(int32_t x, int32_t y)
{
    Input in;
    in.kind = Input::Kind::Click;
    in.x = x;
    in.y = y;
    return in;
}

Input ClickSlot(int32_t slot)
{
    PixelRect r{};
    CPortraitEditorDlg::GetSlotRect(slot, r);
    return ClickAt(r.left + 1, r.top + 1);
}

Input WheelAt(int16_t delta, int32_t x, int32_t y)
{
    Input in;
    in.kind = Input::Kind::Wheel;
    in.delta = delta;
    in.x = x;
    in.y = y;
    return in;
}

Input Do(Input::Kind kind)
{
    Input in;
    in.kind = kind;
    return in;
}

Input WheelOver(Input::Kind kind, int16_t delta)
{
    Input in;
    in.kind = kind;
    in.delta = delta;
    return in;
}

Input ImportFile(const std::string& path, std::vector<std::string> listedNames)
{
    Input in;
    in.kind = Input::Kind::Import;
    in.path = path;
    in.listedNames = std::move(listedNames);
    return in;
}

std::string Describe(const Input& in)
{
    using K = Input::Kind;
    std::ostringstream s;
    switch (in.kind) {
    case K::Click: s << "click at (" << in.x << ", " << in.y << ")"; break;
    case K::Wheel: s << "wheel " << in.delta << " at (" << in.x << ", " << in.y << ")"; break;
    case K::WheelOverScrollBar: s << "wheel " << in.delta << " over the scroll bar"; break;
    case K::WheelOverButton: s << "wheel " << in.delta << " over a button"; break;
    case K::ArrowLeft: s << "left arrow"; break;
    case K::ArrowRight: s << "right arrow"; break;
    case K::PageLeft: s << "page left"; break;
    case K::PageRight: s << "page right"; break;
    case K::DragThumbToStart: s << "thumb dragged to the start"; break;
    case K::DragThumbToEnd: s << "thumb dragged to the end"; break;
    case K::ScrollHereAtEnd: s << "\"Scroll here\" at the end of the scroll bar"; break;
    case K::Export: s << "Export"; break;
    case K::ExportAll: s << "Export All"; break;
    case K::Import: s << "Import " << in.path; break;
    case K::CancelImport: s << "Import cancelled"; break;
    case K::ToggleCheck: s << "check box"; break;
    case K::CreateArchive: s << "Create Archive"; break;
    case K::QuitButton: s << "Quit"; break;
    case K::EnterKey: s << "Enter"; break;
    case K::EscapeKey: s << "Escape"; break;
    case K::CloseBox: s << "close box"; break;
    }
    return s.str();
}

namespace {

void ApplyHeadless(CHeadlessHost& host, const Input& in)
{
    using K = Input::Kind;
    const int32_t bar = IDC_PORTRAIT_SCROLLBAR;
    auto thumbTo = [&](bool end) {
        const CHeadlessHost::ScrollBarState* s = host.ScrollBar(bar);
        const int32_t target = s ? (end ? s->max : s->min) : 0;
        host.Scroll(bar, SB_THUMBTRACK, target);
        host.Scroll(bar, SB_THUMBPOSITION, target);
        host.Scroll(bar, SB_ENDSCROLL);
    };
    switch (in.kind) {
    case K::Click: host.Click(in.x, in.y); break;
    case K::Wheel: host.Wheel(in.delta, {in.x, in.y}); break;
    case K::WheelOverScrollBar: {
        const QPoint p = Centre(kScrollBarRect);
        host.Wheel(in.delta, {p.x(), p.y()});
        break;
    }
    case K::WheelOverButton: {
        const QPoint p = Centre(TemplateControlRect(IDC_EXPORT_ALL));
        host.Wheel(in.delta, {p.x(), p.y()});
        break;
    }
    case K::ArrowLeft: host.Scroll(bar, SB_LINELEFT); break;
    case K::ArrowRight: host.Scroll(bar, SB_LINERIGHT); break;
    case K::PageLeft: host.Scroll(bar, SB_PAGELEFT); break;
    case K::PageRight: host.Scroll(bar, SB_PAGERIGHT); break;
    case K::DragThumbToStart: thumbTo(false); break;
    case K::DragThumbToEnd: thumbTo(true); break;
    case K::ScrollHereAtEnd:
        // The platform's scroll bar sends the position of "Scroll here".
        if (const CHeadlessHost::ScrollBarState* s = host.ScrollBar(bar)) {
            host.Scroll(bar, SB_THUMBPOSITION, s->max);
            host.Scroll(bar, SB_ENDSCROLL);
        }
        break;
    case K::Export: host.Command(IDC_EXPORT); break;
    case K::ExportAll: host.Command(IDC_EXPORT_ALL); break;
    case K::Import:
        host.QueueOpenFileAnswer(in.path);
        host.Command(IDC_IMPORT);
        break;
    case K::CancelImport:
        host.QueueOpenFileAnswer(std::nullopt);
        host.Command(IDC_IMPORT);
        break;
    case K::ToggleCheck: host.ToggleCheck(IDC_USE_TGA_PALETTE); break;
    case K::CreateArchive: host.Command(IDC_CREATE_ARCHIVE); break;
    case K::QuitButton: host.Command(IDOK); break;
    case K::EnterKey: host.Key(VK_RETURN); break;
    case K::EscapeKey: host.Key(VK_ESCAPE); break;
    case K::CloseBox: host.Command(IDCANCEL); break;
    }
}

ViewSnapshot HeadlessSnapshot(const CHeadlessHost& host, const CPortraitEditorDlg& dialog, size_t firstMessage)
{
    ViewSnapshot s;
    s.canvas = const_cast<CHeadlessHost&>(host).Canvas();
    s.portrait = dialog.CurrentPortrait();
    s.slot = dialog.SelectedSlot();
    if (const CHeadlessHost::ScrollBarState* bar = host.ScrollBar(IDC_PORTRAIT_SCROLLBAR)) {
        s.scrollPos = bar->position;
        s.scrollMin = bar->min;
        s.scrollMax = bar->max;
    }
    for (int32_t id : kLabelIds)
        s.labels[id] = host.GetControlText(id);
    for (size_t i = firstMessage; i < host.Messages().size(); ++i)
        s.messages.emplace_back(host.Messages()[i].text, host.Messages()[i].caption);
    s.open = host.IsOpen();
    s.result = host.Result();
    return s;
}

} // namespace

std::vector<ViewSnapshot> RunHeadless(const std::string& baseDir, const std::vector<Input>& inputs)
{
    std::vector<ViewSnapshot> snapshots;
    ScopedChdir cd(baseDir);
    CHeadlessHost host;
    CPortraitEditorDlg dialog;
    host.Open(dialog);
    snapshots.push_back(HeadlessSnapshot(host, dialog, 0));
    for (const Input& in : inputs) {
        const size_t before = host.Messages().size();
        if (host.IsOpen())
            ApplyHeadless(host, in);
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
    EXPECT_EQ(window.messages, headless.messages);
}

bool WaitFor(const std::function<bool()>& done, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
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

WindowSession::WindowSession()
{
    m_poll.setInterval(5);
    QObject::connect(&m_poll, &QTimer::timeout, [this] { Poll(); });
    m_watchdog.setSingleShot(true);
    m_watchdog.setInterval(kWatchdogMs);
    QObject::connect(&m_watchdog, &QTimer::timeout, [this] { Abort(); });
}

WindowSession::~WindowSession()
{
    m_poll.stop();
    m_watchdog.stop();
}

bool WindowSession::IsOpen() const
{
    return Window() && Window()->isVisible();
}

QScrollBar* WindowSession::ScrollBar() const
{
    return qobject_cast<QScrollBar*>(host.ControlWidget(IDC_PORTRAIT_SCROLLBAR));
}

int32_t WindowSession::Run(CDialog& dialog, const std::function<void()>& steps)
{
    host.SetOnShown([this, &steps](CQtDialogHost& h) {
        // The window as context: should the dialog end before the loop
        // runs, the pending call goes with the window.
        QTimer::singleShot(0, h.Window(), [this, &steps] {
            const bool ready = WaitFor(
                [this] {
                    return IsOpen() && Window()->windowHandle() && Window()->windowHandle()->isExposed() &&
                           QApplication::activeWindow() == Window();
                },
                kWindowWaitMs);
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
    m_poll.start();
    m_watchdog.start();
    const int32_t result = dialog.DoModal(host);
    m_watchdog.stop();
    m_poll.stop();
    host.SetOnShown(nullptr);
    return result;
}

void WindowSession::Abort()
{
    ADD_FAILURE() << "the window's steps did not finish in time; the dialog is ended";
    m_fileAnswers.clear();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QDialog*>(w); d && d != Window() && d->isVisible())
            d->reject();
    if (IsOpen())
        host.EndDialog(IDCANCEL);
}

void WindowSession::Poll()
{
    if (m_polling)
        return;
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        if (!menu->isVisible() || menu == m_answering)
            return;
        QStringList entries;
        QPointer<QAction> choice;
        for (QAction* action : menu->actions()) {
            entries << action->text();
            if (!m_menuChoice.isEmpty() && action->text() == m_menuChoice)
                choice = action;
        }
        menus.push_back(entries);
        m_menuChoice.clear();
        // Chosen from the menu's own loop, with the keys a user would press.
        const QPointer<QMenu> target(menu);
        m_answering = menu;
        QMetaObject::invokeMethod(
            menu,
            [this, target, choice] {
                m_answering = nullptr;
                if (!target)
                    return;
                if (choice) {
                    target->setActiveAction(choice);
                    QTest::keyClick(target, Qt::Key_Return);
                } else {
                    target->close();
                }
            },
            Qt::QueuedConnection);
        return;
    }
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || modal == m_answering)
        return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        SeenBox seen;
        seen.text = box->text().toStdString();
        seen.caption = box->windowTitle().toStdString();
        seen.modal = box->isModal();
        seen.owned = Window() && box->parentWidget() == Window();
        seen.buttonCount = static_cast<int>(box->buttons().size());
        seen.okButton = box->button(QMessageBox::Ok) != nullptr;
        seen.noIcon = box->icon() == QMessageBox::NoIcon && box->iconPixmap().isNull();
        boxes.push_back(seen);
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->done(0);
        return;
    }
    if (auto* files = qobject_cast<QFileDialog*>(modal))
        AnswerFileDialog(*files);
}

void WindowSession::AnswerFileDialog(QFileDialog& dialog)
{
    SeenFileDialog seen;
    seen.directory = QFileInfo(dialog.directory().absolutePath()).canonicalFilePath();
    seen.selectedFiles = dialog.selectedFiles();
    seen.nameFilters = dialog.nameFilters();
    seen.selectedNameFilter = dialog.selectedNameFilter();
    seen.fileMode = dialog.fileMode();
    seen.acceptMode = dialog.acceptMode();
    seen.nonNative = dialog.testOption(QFileDialog::DontUseNativeDialog);
    seen.modal = dialog.isModal();
    seen.owned = Window() && dialog.parentWidget() == Window();

    FileAnswer answer;
    if (!m_fileAnswers.empty()) {
        answer = m_fileAnswers.front();
        m_fileAnswers.pop_front();
    }
    if (!answer.listedNames.empty()) {
        // The dialog reads its folder in the background: wait until the
        // awaited names are listed, then take everything it lists.
        const QPointer<QFileDialog> guard(&dialog);
        QPointer<QFileSystemModel> model = dialog.findChild<QFileSystemModel*>();
        auto listed = [&] {
            QStringList names;
            if (!guard || !model)
                return names;
            const QModelIndex root = model->index(model->rootPath());
            for (int row = 0; row < model->rowCount(root); ++row)
                names << model->fileName(model->index(row, 0, root));
            return names;
        };
        m_polling = true;
        seen.awaitedNamesListed = WaitFor(
            [&] {
                const QStringList names = listed();
                for (const std::string& want : answer.listedNames)
                    if (!names.contains(QString::fromStdString(want)))
                        return false;
                return true;
            },
            kWindowWaitMs);
        m_polling = false;
        if (!guard) {
            fileDialogs.push_back(seen);
            return;
        }
        seen.listedNames = listed();
    }
    fileDialogs.push_back(seen);
    // The answer is given from the dialog's own loop rather than from this
    // timer: a timer does not fire again while it runs, and the answer may
    // open a box of the dialog's own that needs answering in turn.
    const QPointer<QFileDialog> target(&dialog);
    m_answering = target.data();
    QMetaObject::invokeMethod(
        &dialog,
        [this, target, path = answer.path] {
            m_answering = nullptr;
            if (!target)
                return;
            if (path) {
                // As a user would: the full path typed into the file name
                // box, then the Open button. selectFile alone leaves the box
                // as it is while the box has the focus.
                const QString file = QString::fromStdString(*path);
                target->selectFile(file);
                if (auto* edit = target->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                    edit->setText(file);
                auto* buttons = target->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
                QPushButton* open = buttons ? buttons->button(QDialogButtonBox::Open) : nullptr;
                if (open && open->isEnabled())
                    open->click();
                else
                    static_cast<QDialog*>(target.data())->accept(); // the file dialog's override
            } else {
                target->reject();
            }
        },
        Qt::QueuedConnection);
}

void WindowSession::Perform(const Input& in)
{
    using K = Input::Kind;
    if (!IsOpen()) {
        ADD_FAILURE() << "the window closed before the input: " << Describe(in);
        return;
    }
    QDialog* window = Window();
    // Input goes to the active window, as a user's would. The offscreen
    // platform has no window manager to hand the activation back when a box
    // or the file dialog closes, so the test does what one would.
    if (QApplication::activeWindow() != window)
        window->activateWindow();
    EXPECT_TRUE(WaitFor([window] { return QApplication::activeWindow() == window; }, kWindowWaitMs))
        << "the window is not active for the input: " << Describe(in);
    QScrollBar* bar = ScrollBar();
    const bool barInput = in.kind == K::WheelOverScrollBar || in.kind == K::ArrowLeft || in.kind == K::ArrowRight ||
                          in.kind == K::PageLeft || in.kind == K::PageRight || in.kind == K::DragThumbToStart ||
                          in.kind == K::DragThumbToEnd || in.kind == K::ScrollHereAtEnd;
    if (barInput && !bar) {
        ADD_FAILURE() << "the window has no scroll bar for the input: " << Describe(in);
        return;
    }
    switch (in.kind) {
    case K::Click: QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(in.x, in.y)); break;
    case K::Wheel: SendWheel(window, QPoint(in.x, in.y), in.delta); break;
    case K::WheelOverScrollBar: SendWheel(bar, bar->rect().center(), in.delta); break;
    case K::WheelOverButton: {
        QWidget* button = Control(IDC_EXPORT_ALL);
        SendWheel(button, button->rect().center(), in.delta);
        break;
    }
    case K::ArrowLeft: ClickScrollBarPart(bar, QStyle::SC_ScrollBarSubLine); break;
    case K::ArrowRight: ClickScrollBarPart(bar, QStyle::SC_ScrollBarAddLine); break;
    case K::PageLeft: ClickScrollBarPart(bar, QStyle::SC_ScrollBarSubPage); break;
    case K::PageRight: ClickScrollBarPart(bar, QStyle::SC_ScrollBarAddPage); break;
    case K::DragThumbToStart: DragThumb(bar, false); break;
    case K::DragThumbToEnd: DragThumb(bar, true); break;
    case K::ScrollHereAtEnd: {
        // At the groove's right end "Scroll here" means the last position.
        const QRect groove = ScrollBarPart(*bar, QStyle::SC_ScrollBarGroove);
        const QPoint at(groove.right(), groove.center().y());
        m_menuChoice = QStringLiteral("Scroll here");
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, bar->mapToGlobal(at));
        QApplication::sendEvent(bar, &event);
        EXPECT_TRUE(m_menuChoice.isEmpty()) << "no context menu opened";
        m_menuChoice.clear();
        break;
    }
    case K::Export: ClickButton(Control(IDC_EXPORT)); break;
    case K::ExportAll: ClickButton(Control(IDC_EXPORT_ALL)); break;
    case K::Import:
        m_fileAnswers.push_back({in.path, in.listedNames});
        ClickButton(Control(IDC_IMPORT));
        break;
    case K::CancelImport:
        m_fileAnswers.push_back({std::nullopt, {}});
        ClickButton(Control(IDC_IMPORT));
        break;
    case K::ToggleCheck: ClickButton(Control(IDC_USE_TGA_PALETTE)); break;
    case K::CreateArchive: ClickButton(Control(IDC_CREATE_ARCHIVE)); break;
    case K::QuitButton: ClickButton(Control(IDC_QUIT)); break;
    case K::EnterKey: KeyToFocus(window, Qt::Key_Return); break;
    case K::EscapeKey: KeyToFocus(window, Qt::Key_Escape); break;
    case K::CloseBox: window->close(); break;
    }
    // An answer that no dialog asked for would answer a later one.
    EXPECT_TRUE(m_fileAnswers.empty()) << "no file dialog opened for: " << Describe(in);
    m_fileAnswers.clear();
}

QImage WindowSession::Grab() const
{
    if (!IsOpen())
        return {};
    return Window()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

ViewSnapshot WindowSession::Step(const CPortraitEditorDlg& dialog, const Input& input, QImage& grabbed)
{
    const size_t firstBox = boxes.size();
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
    s.scrollPos = host.GetScrollPos(IDC_PORTRAIT_SCROLLBAR);
    host.GetScrollRange(IDC_PORTRAIT_SCROLLBAR, s.scrollMin, s.scrollMax);
    for (int32_t id : kLabelIds)
        s.labels[id] = host.GetControlText(id);
    for (size_t i = firstBox; i < boxes.size(); ++i)
        s.messages.emplace_back(boxes[i].text, boxes[i].caption);
    s.open = IsOpen();
    s.result = !s.open && Window() ? Window()->result() : 0;
    return s;
}

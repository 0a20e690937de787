#include "QtDialogHost.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStringList>

#include "TerminationSignals.h"
#include "Dialog.h"
#include "DialogMessage.h"
#include "Icon.h"
#include "QtClientArea.h"
#include "QtDialogWindow.h"
#include "QtKeyFilter.h"
#include "QtStandardDialogs.h"
#include "QtText.h"

namespace {

QImage IconImage(const Icon& icon)
{
    QImage image(icon.size, icon.size, QImage::Format_ARGB32);
    for (int y = 0; y < icon.size; ++y) {
        for (int x = 0; x < icon.size; ++x) {
            const uint8_t* p = &icon.pixels[static_cast<size_t>(y * icon.size + x) * 4];
            image.setPixel(x, y, qRgba(p[2], p[1], p[0], p[3]));
        }
    }
    return image;
}

} // namespace

CQtDialogHost::CQtDialogHost() : CQtDialogHost(std::make_unique<CQtStandardDialogs>())
{
}

CQtDialogHost::CQtDialogHost(IQtModalDialogs& modals) : CQtDialogHost(std::unique_ptr<IQtModalDialogs>())
{
    m_modals = &modals;
}

CQtDialogHost::CQtDialogHost(std::unique_ptr<IQtModalDialogs> ownModals)
    : m_ownModals(std::move(ownModals)), m_modals(m_ownModals.get()),
      m_files(std::make_unique<CQtFileExchange>([this](DialogMessage m) { Deliver(std::move(m)); })),
      m_folderWatch(std::make_unique<CQtFolderWatch>([this] { return m_inDialog == 0; },
                                                     [this](DialogMessage m) { Deliver(std::move(m)); }))
{
}

CQtDialogHost::~CQtDialogHost() = default;

QDialog* CQtDialogHost::Window() const
{
    return m_window.get();
}

QWidget* CQtDialogHost::ControlWidget(int32_t id) const
{
    auto it = m_controls.find(id);
    if (it != m_controls.end())
        return it->second;
    return m_scrollBars.Bar(id);
}

void CQtDialogHost::Deliver(DialogMessage message)
{
    if (m_dialog && !m_ended)
        Guarded([&] { m_dialog->Dispatch(message); });
}

void CQtDialogHost::Guarded(const std::function<void()>& call)
{
    // No exception may pass through Qt's event loop; the dialog tells the
    // user instead, and the program goes on.
    struct Depth {
        int& depth;
        explicit Depth(int& d) : depth(++d) {}
        ~Depth() { --depth; }
    } inDialog(m_inDialog);
    try {
        try {
            call();
        } catch (const std::exception& e) {
            if (m_dialog)
                m_dialog->OnHandlerFailed(&e);
        } catch (...) {
            if (m_dialog)
                m_dialog->OnHandlerFailed(nullptr);
        }
    } catch (...) {
        // Telling failed as well (no memory even for the message): go on.
    }
}

int32_t CQtDialogHost::RunModal(CDialog& dialog)
{
    const DialogTemplate& t = dialog.Template();
    m_dialog = &dialog;
    m_ended = false;
    dialog.AttachHost(this);
    m_window = std::make_unique<CQtDialogWindow>(*this);
    QDialog& window = *m_window;
    window.setWindowTitle(ToQt(t.caption));
    // The panels beside the client area grow with the window, which can
    // therefore be maximised too.
    window.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(t.fontPointSize);
    font.setStyleHint(QFont::SansSerif);
    window.setFont(font);
    m_canvas = CCanvas(dialog.ClientWidth(), dialog.ClientHeight(), kDialogBackgroundRgb);
    m_client = new CQtClientArea(*this, &window);
    m_client->setGeometry(0, 0, dialog.ClientWidth(), dialog.ClientHeight());
    QWidget& client = *m_client;
    const auto deliver = [this](const DialogMessage& m) { Deliver(m); };
    m_listPanel = new CQtListPanel(deliver, &window);
    m_previewPanel = new CQtPreviewPanel(deliver, &window);
    window.setMinimumSize(dialog.ClientWidth() + kListWidth + kMinPreviewWidth, dialog.ClientHeight());
    window.resize(dialog.ClientWidth() + kListWidth + kStartPreviewWidth, dialog.ClientHeight());
    LayOut();

    QWidget* previous = nullptr;
    for (const ControlTemplate& c : t.controls) {
        QWidget* w = nullptr;
        const int32_t id = c.id;
        switch (c.kind) {
        case ControlKind::PushButton: {
            // No button is the default: Enter presses only the button with
            // the focus (CQtKeyFilter), never one the user did not choose.
            auto* button = new QPushButton(ToQt(c.text), &client);
            button->setAutoDefault(false);
            button->setDefault(false);
            QObject::connect(button, &QPushButton::clicked, [this, id] { Deliver(DialogMessage::Command(id)); });
            w = button;
            break;
        }
        case ControlKind::AutoCheckBox: {
            auto* box = new QCheckBox(ToQt(c.text), &client);
            QObject::connect(box, &QCheckBox::clicked, [this, id] { Deliver(DialogMessage::Command(id)); });
            w = box;
            break;
        }
        case ControlKind::GroupBox:
            w = new QGroupBox(ToQt(c.text), &client);
            w->setAttribute(Qt::WA_TransparentForMouseEvents);
            break;
        case ControlKind::StaticText: {
            auto* label = new QLabel(ToQt(c.text), &client);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setAttribute(Qt::WA_TransparentForMouseEvents);
            w = label;
            break;
        }
        case ControlKind::HorizontalScrollBar:
            break;
        }
        if (!w)
            continue;
        const PixelRect r = ControlRectInPixels(c);
        w->setGeometry(r.left, r.top, r.Width(), r.Height());
        const bool tabStop = (c.style & WindowStyle::kTabStop) != 0;
        w->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::NoFocus);
        if (tabStop && previous)
            QWidget::setTabOrder(previous, w);
        if (tabStop)
            previous = w;
        m_controls[id] = w;
    }
    // Group boxes lie under the other controls, as in template order.
    for (auto& [id, w] : m_controls)
        if (qobject_cast<QGroupBox*>(w))
            w->lower();
    auto* keys = new CQtKeyFilter(*this, &window);
    window.installEventFilter(keys);
    client.installEventFilter(keys);
    for (auto& [id, w] : m_controls)
        w->installEventFilter(keys);

    Guarded([&] { dialog.OnInitDialog(); });
    // A dialog that ended itself while starting is not shown; it still
    // returns the result it ended with and leaves no window behind.
    if (!m_ended) {
        // The focus starts in the client area, on no button, so that Enter
        // presses nothing until the user has moved the focus to a button;
        // Tab moves it on to the first tab stop.
        client.setFocus(Qt::OtherFocusReason);
        // Ended from outside (a logout, Ctrl+C), the dialog closes as by its
        // close box, which saves what Quit saves.
        const CTerminationSignals endedFromOutside([this] { Deliver(DialogMessage::Command(IDCANCEL)); });
        if (m_onShown)
            m_onShown(*this);
        if (!m_ended)
            window.exec();
    }
    const int32_t ended = m_window->result();
    m_controls.clear();
    m_scrollBars.Clear();
    m_menuActions.clear();
    m_listPanel = nullptr;
    m_previewPanel = nullptr;
    m_menuBar = nullptr;
    m_client = nullptr;
    m_window.reset();
    m_dialog = nullptr;
    return ended;
}

int32_t CQtDialogHost::FocusedControl() const
{
    const QWidget* focus = m_window ? m_window->focusWidget() : nullptr;
    if (focus && focus == m_client)
        return CDialog::kClientAreaFocus;
    for (const auto& [id, w] : m_controls)
        if (w == focus)
            return id;
    return -1; // the menu bar, or nothing
}

void CQtDialogHost::EndDialog(int32_t result)
{
    m_ended = true;
    m_files->StopAll();
    m_folderWatch->Stop();
    if (m_window)
        m_window->done(result);
}

void CQtDialogHost::Redraw()
{
    if (m_window && m_window->isVisible())
        m_client->repaint();
    else
        Deliver(DialogMessage{MessageKind::Paint});
}

bool CQtDialogHost::IsMinimized() const
{
    return m_window && m_window->isMinimized();
}

bool CQtDialogHost::GetWindowPlacement(WindowPlacement& placement) const
{
    if (!m_window)
        return false;
    // A maximised window tells the place and size it returns to.
    const bool maximized = m_window->isMaximized();
    const QRect r = maximized ? m_window->normalGeometry() : m_window->geometry();
    placement = {r.x(), r.y(), r.width(), r.height(), maximized};
    return r.width() > 0 && r.height() > 0;
}

void CQtDialogHost::SetWindowPlacement(const WindowPlacement& placement)
{
    if (!m_window || placement.width <= 0 || placement.height <= 0)
        return;
    const QSize least = m_window->minimumSize();
    const QRect wanted(placement.x, placement.y, std::max(placement.width, least.width()),
                       std::max(placement.height, least.height()));
    // A place off every screen there is now (one unplugged since) is let go.
    bool onScreen = false;
    for (const QScreen* screen : QGuiApplication::screens())
        onScreen = onScreen || screen->availableGeometry().intersects(wanted);
    if (onScreen)
        m_window->setGeometry(wanted);
    else
        m_window->resize(wanted.size());
    if (placement.maximized)
        m_window->setWindowState(m_window->windowState() | Qt::WindowMaximized);
}

void CQtDialogHost::SetIcon(const Icon& icon, bool big)
{
    if (m_window && big)
        m_window->setWindowIcon(QIcon(QPixmap::fromImage(IconImage(icon))));
}

QAction* CQtDialogHost::MenuAction(int32_t id) const
{
    auto it = m_menuActions.find(id);
    return it == m_menuActions.end() ? nullptr : it->second;
}

void CQtDialogHost::SetMenu(const MenuTemplate& menu)
{
    if (!m_window)
        return;
    delete m_menuBar;
    m_menuActions.clear();
    // In the window, never the desktop's global menu: the bar is part of
    // what the window shows.
    m_menuBar = new QMenuBar(m_window.get());
    m_menuBar->setNativeMenuBar(false);
    std::map<int32_t, QActionGroup*> groups;
    for (const PopupMenuTemplate& popup : menu.menus) {
        QMenu* shown = m_menuBar->addMenu(ToQt(popup.text));
        for (const MenuItemTemplate& item : popup.items) {
            if (item.id == 0) {
                shown->addSeparator();
                continue;
            }
            QAction* action = shown->addAction(ToQt(item.text));
            action->setCheckable(item.checkable || item.radioGroup != 0);
            if (!item.shortcut.empty())
                action->setShortcut(QKeySequence(ToQt(item.shortcut)));
            if (item.radioGroup != 0) {
                QActionGroup*& group = groups[item.radioGroup];
                if (!group)
                    group = new QActionGroup(m_menuBar);
                group->addAction(action);
            }
            const int32_t id = item.id;
            QObject::connect(action, &QAction::triggered, [this, id] { Deliver(DialogMessage::Command(id)); });
            m_menuActions[id] = action;
        }
    }
    // The client area keeps its size and content; the window grows by the
    // bar above it (a window made taller already keeps its height).
    const int barHeight = m_menuBar->sizeHint().height();
    const QSize least = m_window->minimumSize();
    m_window->setMinimumSize(least.width(), m_client->height() + barHeight);
    m_window->resize(m_window->width(), std::max(m_window->height(), m_client->height() + barHeight));
    LayOut();
    m_menuBar->show();
}

void CQtDialogHost::LayOut()
{
    if (!m_window || !m_client)
        return;
    const int barHeight = m_menuBar ? m_menuBar->sizeHint().height() : 0;
    const int width = m_window->width(), height = m_window->height() - barHeight;
    if (m_menuBar)
        m_menuBar->setGeometry(0, 0, width, barHeight);
    m_client->move(0, barHeight);
    const int right = m_client->width();
    if (m_listPanel)
        m_listPanel->setGeometry(right, barHeight, kListWidth, height);
    if (m_previewPanel)
        m_previewPanel->setGeometry(right + kListWidth, barHeight, std::max(0, width - right - kListWidth), height);
}


void CQtDialogHost::CheckMenuItem(int32_t id, bool checked)
{
    if (QAction* action = MenuAction(id))
        action->setChecked(checked);
}

void CQtDialogHost::EnableMenuItem(int32_t id, bool enabled)
{
    if (QAction* action = MenuAction(id))
        action->setEnabled(enabled);
}

bool CQtDialogHost::IsMenuItemEnabled(int32_t id) const
{
    const QAction* action = MenuAction(id);
    return !action || action->isEnabled();
}

bool CQtDialogHost::IsMenuItemChecked(int32_t id) const
{
    const QAction* action = MenuAction(id);
    return action && action->isChecked();
}

bool CQtDialogHost::HasControl(int32_t id) const
{
    return m_controls.count(id) != 0;
}

void CQtDialogHost::SetControlText(int32_t id, const std::string& text)
{
    QWidget* w = ControlWidget(id);
    if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(ToQt(text));
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(ToQt(text));
    else if (auto* group = qobject_cast<QGroupBox*>(w))
        group->setTitle(ToQt(text));
}

std::string CQtDialogHost::GetControlText(int32_t id) const
{
    QWidget* w = ControlWidget(id);
    if (auto* label = qobject_cast<QLabel*>(w))
        return FromQt(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return FromQt(button->text());
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return FromQt(group->title());
    return {};
}

void CQtDialogHost::SetCheck(int32_t id, int32_t state)
{
    if (auto* box = qobject_cast<QCheckBox*>(ControlWidget(id)))
        box->setChecked(state != 0);
}

int32_t CQtDialogHost::GetCheck(int32_t id) const
{
    auto* box = qobject_cast<QCheckBox*>(ControlWidget(id));
    return box && box->isChecked() ? 1 : 0;
}

void CQtDialogHost::ShowMessageBox(const std::string& text, const std::string& caption)
{
    m_modals->ShowMessage(m_window.get(), text, caption);
}

void CQtDialogHost::ShowUnownedMessageBox(const std::string& text, const std::string& caption)
{
    m_modals->ShowMessage(nullptr, text, caption);
}

bool CQtDialogHost::AskYesNo(const std::string& text, const std::string& caption)
{
    return m_modals->AskYesNo(m_window.get(), text, caption);
}

void CQtDialogHost::EnableControl(int32_t id, bool enabled)
{
    if (QWidget* w = ControlWidget(id))
        w->setEnabled(enabled);
}

bool CQtDialogHost::GetOpenFileName(const OpenFileRequest& request, std::string& path)
{
    if (!m_modals->GetOpenFileName(m_window.get(), request, path) || path.size() + 1 > request.bufferSize) {
        path.clear();
        return false;
    }
    return true;
}

bool CQtDialogHost::ChooseFolder(const std::string& title, const std::string& startFolder, std::string& folder)
{
    return m_modals->ChooseFolder(m_window.get(), title, startFolder, folder);
}

void CQtDialogHost::BeginProgress(const std::string& title, int32_t total)
{
    m_modals->BeginProgress(m_window.get(), title, total);
}

bool CQtDialogHost::StepProgress(int32_t done, const std::string& text)
{
    return m_modals->StepProgress(done, text);
}

void CQtDialogHost::EndProgress()
{
    m_modals->EndProgress();
}

void CQtDialogHost::CreateScrollBar(int32_t id, const PixelRect& rect)
{
    if (m_window)
        m_scrollBars.Create(id, rect, m_client);
}

void CQtDialogHost::SetScrollRange(int32_t id, int32_t min, int32_t max, bool)
{
    m_scrollBars.SetRange(id, min, max);
}

void CQtDialogHost::GetScrollRange(int32_t id, int32_t& min, int32_t& max) const
{
    m_scrollBars.GetRange(id, min, max);
}

int32_t CQtDialogHost::SetScrollPos(int32_t id, int32_t position, bool)
{
    return m_scrollBars.SetPosition(id, position);
}

int32_t CQtDialogHost::GetScrollPos(int32_t id) const
{
    return m_scrollBars.Position(id);
}

std::vector<std::string> CQtDialogHost::ReadSetting(const std::string& key) const
{
    std::vector<std::string> values;
    for (const QString& value : QSettings().value(QString::fromStdString(key)).toStringList())
        values.push_back(QFile::encodeName(value).toStdString());
    return values;
}

void CQtDialogHost::WriteSetting(const std::string& key, const std::vector<std::string>& values)
{
    QStringList list;
    for (const std::string& value : values)
        list.append(QFile::decodeName(QByteArray::fromStdString(value)));
    QSettings settings;
    if (list.size() == 1)
        settings.setValue(QString::fromStdString(key), list.front());
    else
        settings.setValue(QString::fromStdString(key), list);
    settings.sync();
}

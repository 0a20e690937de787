#include "QtPreviewPanel.h"

#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QPainter>

#include "DialogHost.h"
#include "QtText.h"

CQtPreviewPanel::CQtPreviewPanel(Deliver deliver, QWidget* parent) : QWidget(parent), m_deliver(std::move(deliver))
{
    // The canvas covers every pixel.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAcceptDrops(true);
}

void CQtPreviewPanel::paintEvent(QPaintEvent*)
{
    if (m_canvas.Width() != width() || m_canvas.Height() != height())
        m_canvas = CCanvas(width(), height(), kDialogBackgroundRgb);
    m_deliver(DialogMessage{MessageKind::PaintPreview});
    const QImage image(m_canvas.Bits(), m_canvas.Width(), m_canvas.Height(), m_canvas.Stride(), QImage::Format_RGB32);
    QPainter painter(this);
    painter.drawImage(0, 0, image);
}

namespace {

bool CarriesFiles(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return false;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return true;
    return false;
}

} // namespace

void CQtPreviewPanel::dragEnterEvent(QDragEnterEvent* event)
{
    if (CarriesFiles(event->mimeData()))
        event->acceptProposedAction();
}

void CQtPreviewPanel::dragMoveEvent(QDragMoveEvent* event)
{
    if (CarriesFiles(event->mimeData()))
        event->acceptProposedAction();
}

void CQtPreviewPanel::dropEvent(QDropEvent* event)
{
    if (!CarriesFiles(event->mimeData()))
        return;
    DialogMessage m{MessageKind::PreviewDropFiles};
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            m.paths.push_back(FromQt(url.toLocalFile()));
    event->acceptProposedAction();
    m_deliver(m);
}

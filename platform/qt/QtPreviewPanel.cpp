#include "QtPreviewPanel.h"

#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QPainter>

#include "DialogHost.h"
#include "QtFileExchange.h"

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

void CQtPreviewPanel::dragEnterEvent(QDragEnterEvent* event)
{
    if (CQtFileExchange::CarriesLocalFiles(event->mimeData()))
        event->acceptProposedAction();
}

void CQtPreviewPanel::dragMoveEvent(QDragMoveEvent* event)
{
    if (CQtFileExchange::CarriesLocalFiles(event->mimeData()))
        event->acceptProposedAction();
}

void CQtPreviewPanel::dropEvent(QDropEvent* event)
{
    if (!CQtFileExchange::CarriesLocalFiles(event->mimeData()))
        return;
    DialogMessage m{MessageKind::PreviewDropFiles};
    m.paths = CQtFileExchange::LocalFiles(event->mimeData());
    event->acceptProposedAction();
    m_deliver(m);
}

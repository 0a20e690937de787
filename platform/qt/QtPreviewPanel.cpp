#include "QtPreviewPanel.h"

#include <QImage>
#include <QPainter>

#include "DialogHost.h"

CQtPreviewPanel::CQtPreviewPanel(Deliver deliver, QWidget* parent) : QWidget(parent), m_deliver(std::move(deliver))
{
    // The canvas covers every pixel.
    setAttribute(Qt::WA_OpaquePaintEvent);
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

#include "QtClientArea.h"

#include <QDropEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "Canvas.h"
#include "DialogMessage.h"
#include "QtDialogHost.h"

namespace {

ClientPoint PointOf(const QPointF& position)
{
    return {static_cast<int32_t>(position.x()), static_cast<int32_t>(position.y())};
}

} // namespace

CQtClientArea::CQtClientArea(CQtDialogHost& host, QWidget* parent) : QWidget(parent), m_host(host)
{
    // The canvas covers every pixel. A click takes the focus from the
    // buttons, so that Enter then presses none.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    setAcceptDrops(true);
}

void CQtClientArea::paintEvent(QPaintEvent*)
{
    m_host.Deliver(DialogMessage{MessageKind::Paint});
    CCanvas& c = m_host.m_canvas;
    const QImage image(c.Bits(), c.Width(), c.Height(), c.Stride(), QImage::Format_RGB32);
    QPainter painter(this);
    painter.drawImage(0, 0, image);
}

void CQtClientArea::wheelEvent(QWheelEvent* event)
{
    const auto delta = static_cast<int16_t>(event->angleDelta().y());
    if (delta != 0)
        m_host.Deliver(DialogMessage::Wheel(delta, PointOf(event->position())));
    event->accept();
}

void CQtClientArea::dragEnterEvent(QDragEnterEvent* event)
{
    m_host.m_files->DragOver(event);
}

void CQtClientArea::dragMoveEvent(QDragMoveEvent* event)
{
    m_host.m_files->DragOver(event);
}

void CQtClientArea::dropEvent(QDropEvent* event)
{
    m_host.m_files->Drop(event);
}

void CQtClientArea::mouseMoveEvent(QMouseEvent* event)
{
    m_host.m_files->Move(event);
}

void CQtClientArea::mouseReleaseEvent(QMouseEvent*)
{
    m_host.m_files->Release();
}

void CQtClientArea::mousePressEvent(QMouseEvent* event)
{
    m_host.m_files->Press(event);
    if (event->button() != Qt::LeftButton)
        return;
    m_host.Deliver(DialogMessage::LeftButtonDown(PointOf(event->position())));
}

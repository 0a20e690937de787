#include "QtCropView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

// Each notch of the wheel resizes the crop by a tenth.
constexpr double kWheelStep = 1.1;
constexpr int kHandleSize = 7;

} // namespace

CQtCropView::CQtCropView(const PictureCropRequest& request, std::function<void()> changed, QWidget* parent)
    : QWidget(parent), m_frame(request.width, request.height, request.aspectWidth, request.aspectHeight),
      m_changed(std::move(changed))
{
    const int width = std::max(request.width, 1), height = std::max(request.height, 1);
    // Shown no larger than the view, and a small picture at twice its size at most.
    m_scale = std::min({2.0, double{kViewWidth} / width, double{kViewHeight} / height});
    if (request.rgb && request.rgb->size() >= static_cast<size_t>(width) * static_cast<size_t>(height) * 3) {
        const QImage picture(request.rgb->data(), width, height, width * 3, QImage::Format_RGB888);
        m_shown = picture.scaled(std::max(1, static_cast<int>(std::lround(width * m_scale))),
                                 std::max(1, static_cast<int>(std::lround(height * m_scale))), Qt::IgnoreAspectRatio,
                                 Qt::SmoothTransformation);
    }
    m_frame.Set(request.initial.crop);
    setFixedSize(std::max(m_shown.width(), 1), std::max(m_shown.height(), 1));
    setMouseTracking(true);
    setFocusPolicy(Qt::WheelFocus);
}

QPoint CQtCropView::ToPicture(QPointF point) const
{
    return {static_cast<int>(std::lround(point.x() / m_scale)), static_cast<int>(std::lround(point.y() / m_scale))};
}

QRectF CQtCropView::ToView(const PixelRect& rect) const
{
    return {rect.left * m_scale, rect.top * m_scale, rect.Width() * m_scale, rect.Height() * m_scale};
}

int32_t CQtCropView::Reach() const
{
    return std::max(1, static_cast<int32_t>(std::lround(kHandleSize / m_scale)));
}

void CQtCropView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_shown);
    const QRectF crop = ToView(m_frame.Rect());
    // What falls outside the crop is darkened.
    QPainterPath outside;
    outside.addRect(rect());
    outside.addRect(crop);
    painter.fillPath(outside, QColor(0, 0, 0, 140));
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(crop.adjusted(0, 0, -1, -1));
    painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
    painter.drawRect(crop.adjusted(0, 0, -1, -1));
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    for (const QPointF corner : {crop.topLeft(), crop.topRight(), crop.bottomLeft(), crop.bottomRight()})
        painter.drawRect(QRectF(corner.x() - kHandleSize / 2.0, corner.y() - kHandleSize / 2.0, kHandleSize,
                                kHandleSize));
}

void CQtCropView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = ToPicture(event->position());
    const CCropFrame::Handle handle = m_frame.HandleAt(at.x(), at.y(), Reach());
    m_dragging = handle != CCropFrame::Handle::kNone;
    if (m_dragging)
        m_frame.BeginDrag(handle, at.x(), at.y());
}

void CQtCropView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = ToPicture(event->position());
    if (!m_dragging) {
        ShowCursorFor(m_frame.HandleAt(at.x(), at.y(), Reach()));
        return;
    }
    const PixelRect before = m_frame.Rect();
    m_frame.DragTo(at.x(), at.y());
    if (m_frame.Rect() == before)
        return;
    update();
    m_changed();
}

void CQtCropView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_dragging)
        return;
    m_dragging = false;
    m_frame.EndDrag();
}

void CQtCropView::wheelEvent(QWheelEvent* event)
{
    const int notches = event->angleDelta().y() / 120;
    if (notches == 0 || m_dragging)
        return;
    m_frame.Scale(std::pow(kWheelStep, -notches));
    update();
    m_changed();
    event->accept();
}

void CQtCropView::ShowCursorFor(CCropFrame::Handle handle)
{
    using H = CCropFrame::Handle;
    switch (handle) {
    case H::kTopLeft:
    case H::kBottomRight:
        setCursor(Qt::SizeFDiagCursor);
        break;
    case H::kTopRight:
    case H::kBottomLeft:
        setCursor(Qt::SizeBDiagCursor);
        break;
    case H::kInside:
        setCursor(Qt::SizeAllCursor);
        break;
    case H::kNone:
        unsetCursor();
        break;
    }
}

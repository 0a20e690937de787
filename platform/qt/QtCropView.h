// The picture of the new-portrait dialog with its crop rectangle: the
// picture scaled to fit the view, the part outside the crop darkened, the
// rectangle with its corner handles. Dragging inside moves the crop,
// dragging a corner resizes it about the opposite corner, and the wheel
// resizes it about its centre (turned away from the user, it closes in);
// the shape stays the request's and the crop stays inside the picture.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

#include "CropFrame.h"
#include "PictureCropRequest.h"

class CQtCropView : public QWidget {
public:
    // The longest side the picture is shown at.
    static constexpr int kViewWidth = 560;
    static constexpr int kViewHeight = 420;

    // changed is called after each change of the crop.
    CQtCropView(const PictureCropRequest& request, std::function<void()> changed, QWidget* parent);

    const PixelRect& Crop() const { return m_frame.Rect(); }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // A point of the view in the picture's pixels, and back.
    QPoint ToPicture(QPointF point) const;
    QRectF ToView(const PixelRect& rect) const;
    // How near a corner the pointer must be to take it, in the picture's pixels.
    int32_t Reach() const;
    void ShowCursorFor(CCropFrame::Handle handle);

    QImage m_shown;
    double m_scale = 1.0; // view pixels per picture pixel
    CCropFrame m_frame;
    bool m_dragging = false;
    std::function<void()> m_changed;
};

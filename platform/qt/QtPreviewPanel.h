// The preview panel of the Qt host: shows a canvas of the panel's size,
// which the dialog paints when asked (PaintPreview) before each paint of
// the panel; files dropped on it reach the dialog (PreviewDropFiles).
#pragma once

#include <QWidget>
#include <functional>

#include "Canvas.h"
#include "DialogMessage.h"

class CQtPreviewPanel : public QWidget {
public:
    using Deliver = std::function<void(const DialogMessage&)>;
    CQtPreviewPanel(Deliver deliver, QWidget* parent);

    CCanvas& Canvas() { return m_canvas; }

protected:
    void paintEvent(QPaintEvent*) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    Deliver m_deliver;
    CCanvas m_canvas;
};

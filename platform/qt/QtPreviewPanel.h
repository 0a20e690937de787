// The preview panel of the Qt host: shows a canvas of the panel's size,
// which the dialog paints when asked (PaintPreview) before each paint of
// the panel.
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

private:
    Deliver m_deliver;
    CCanvas m_canvas;
};

// The client area of the Qt host's window: shows the canvas as the dialog's
// OnPaint left it and turns Qt's mouse, wheel and drop input into the
// dialog's messages, in its own coordinates.
#pragma once

#include <QWidget>

class CQtDialogHost;

class CQtClientArea : public QWidget {
public:
    CQtClientArea(CQtDialogHost& host, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;
    void wheelEvent(QWheelEvent* event) override;
    // Files dragged in and out.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    CQtDialogHost& m_host;
};

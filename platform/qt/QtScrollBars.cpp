#include "QtScrollBars.h"

#include <QWheelEvent>
#include <algorithm>

namespace {

// The scroll-bar control. The wheel is the dialog's: a notch over the bar
// reaches the window as one wheel message, as anywhere else in the client
// area, instead of moving the thumb by the toolkit's lines per notch.
class CQtScrollBar : public QScrollBar {
public:
    using QScrollBar::QScrollBar;

protected:
    void wheelEvent(QWheelEvent* event) override { event->ignore(); }
};

} // namespace

void CQtScrollBars::Create(int32_t id, const PixelRect& rect, QWidget* parent)
{
    auto* bar = new CQtScrollBar(Qt::Horizontal, parent);
    bar->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    bar->setFocusPolicy(Qt::NoFocus);
    bar->setSingleStep(1);
    bar->setPageStep(5);
    m_bars[id] = State{};
    m_bars[id].bar = bar;
    // Each of the control's actions becomes a notification; the dialog's
    // answer, not the toolkit's stepping, decides where the thumb goes.
    QObject::connect(bar, &QScrollBar::actionTriggered, [this, id, bar](int action) {
        int32_t code = 0;
        switch (action) {
        case QAbstractSlider::SliderSingleStepSub: code = SB_LINELEFT; break;
        case QAbstractSlider::SliderSingleStepAdd: code = SB_LINERIGHT; break;
        case QAbstractSlider::SliderPageStepSub: code = SB_PAGELEFT; break;
        case QAbstractSlider::SliderPageStepAdd: code = SB_PAGERIGHT; break;
        case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
        case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
        case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
        default: return;
        }
        m_deliver(DialogMessage::Scroll(id, code, code == SB_THUMBTRACK ? bar->sliderPosition() : 0));
        bar->setSliderPosition(m_bars[id].position);
    });
    QObject::connect(bar, &QScrollBar::sliderReleased, [this, id, bar] {
        DeliverThumbPosition(id, bar->sliderPosition());
        bar->setSliderPosition(m_bars[id].position);
    });
    // A few of the control's own ways to move (its context menu's "Scroll
    // here") set the value without an action. The dialog hears them as a
    // thumb position, as from the platform's scroll bar, so that the control
    // never shows a position the dialog does not keep. The host's own
    // updates block the signal, and the actions above end at the dialog's
    // position, so they do not come here.
    QObject::connect(bar, &QScrollBar::valueChanged, [this, id](int value) {
        if (value == m_bars[id].position)
            return;
        DeliverThumbPosition(id, value);
        Show(m_bars[id]);
    });
    bar->show();
}

void CQtScrollBars::DeliverThumbPosition(int32_t id, int32_t position)
{
    m_deliver(DialogMessage::Scroll(id, SB_THUMBPOSITION, position));
    m_deliver(DialogMessage::Scroll(id, SB_ENDSCROLL, position));
}

QScrollBar* CQtScrollBars::Bar(int32_t id) const
{
    const auto it = m_bars.find(id);
    return it == m_bars.end() ? nullptr : it->second.bar;
}

void CQtScrollBars::Show(const State& s)
{
    if (!s.bar)
        return;
    const QSignalBlocker block(s.bar);
    // An empty range (minimum above maximum) shows as a single position.
    s.bar->setRange(s.min, std::max(s.min, s.max));
    s.bar->setValue(s.position);
    s.bar->setEnabled(s.max > s.min);
}

void CQtScrollBars::SetRange(int32_t id, int32_t min, int32_t max)
{
    State& s = m_bars[id];
    s.min = min;
    s.max = max;
    Show(s);
}

void CQtScrollBars::GetRange(int32_t id, int32_t& min, int32_t& max) const
{
    const auto it = m_bars.find(id);
    min = it == m_bars.end() ? 0 : it->second.min;
    max = it == m_bars.end() ? 0 : it->second.max;
}

int32_t CQtScrollBars::SetPosition(int32_t id, int32_t position)
{
    State& s = m_bars[id];
    const int32_t previous = s.SetPosition(position);
    Show(s);
    return previous;
}

int32_t CQtScrollBars::Position(int32_t id) const
{
    const auto it = m_bars.find(id);
    return it == m_bars.end() ? 0 : it->second.position;
}

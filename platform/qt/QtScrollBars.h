// The dialog's scroll bars in the Qt window: each Qt scroll bar's actions
// become the dialog's scroll notifications, and the thumb shows only the
// positions the dialog keeps.
#pragma once

#include <QScrollBar>
#include <functional>
#include <map>

#include "DialogMessage.h"
#include "DialogTemplate.h"
#include "ScrollRange.h"

class QWidget;

class CQtScrollBars {
public:
    // deliver hands a notification to the dialog.
    explicit CQtScrollBars(std::function<void(DialogMessage)> deliver) : m_deliver(std::move(deliver)) {}

    void Create(int32_t id, const PixelRect& rect, QWidget* parent);
    void Clear() { m_bars.clear(); }
    // The control; null for an id without one.
    QScrollBar* Bar(int32_t id) const;

    void SetRange(int32_t id, int32_t min, int32_t max);
    void GetRange(int32_t id, int32_t& min, int32_t& max) const;
    int32_t SetPosition(int32_t id, int32_t position);
    int32_t Position(int32_t id) const;

private:
    struct State : ScrollRange {
        QScrollBar* bar = nullptr;
    };
    // Shows a state on its control without notifying anybody.
    static void Show(const State& s);
    // A thumb position the user dropped the thumb at, then the end of the
    // scroll, as the platform's scroll bar notifies them.
    void DeliverThumbPosition(int32_t id, int32_t position);

    std::function<void(DialogMessage)> m_deliver;
    std::map<int32_t, State> m_bars;
};

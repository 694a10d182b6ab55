#pragma once
// A click on a label that acts as a link: a left press on it, then a left release on it. Other
// buttons, a release after a press elsewhere and a press dragged off the label before its
// release are no clicks.

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

namespace qm {

class LabelClick {
public:
    // True when `event`, delivered to `label`, completes a click on it.
    bool completes(const QWidget* label, const QEvent* event) {
        if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease) return false;
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) return false;
        if (event->type() == QEvent::MouseButtonPress) {
            pressed_ = label;
            return false;
        }
        const bool onPressedLabel = pressed_ == label && label->rect().contains(mouse->position().toPoint());
        pressed_ = nullptr;
        return onPressedLabel;
    }

private:
    const QWidget* pressed_ = nullptr;
};

}  // namespace qm

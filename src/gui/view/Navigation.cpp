#include "gui/view/Navigation.h"

#include <algorithm>

#include <QLabel>
#include <QLineEdit>

#include "gui/window/MainWindow.h"
#include "definitions/NumberText.h"
#include "gui/view/EyeWindow.h"
#include "gui/view/MainView.h"

namespace {

constexpr int32_t StepWhenUnreadable = 0;
constexpr int32_t AntNumberWhenUnreadable = 1;
constexpr int64_t OffsetLimit = 2147483647;

int32_t fieldValue(const QLineEdit* field, int32_t fallback) {
    return qm::textToInt32Or(field->text().toStdString(), fallback);
}

}  // namespace

Navigation::Navigation(MainWindow& form) : form_(form) {}

int32_t Navigation::clampOffset(int64_t value) {
    return static_cast<int32_t>(std::clamp(value, -OffsetLimit, OffsetLimit));
}

template <class Change>
void Navigation::moveView(Change&& change) {
    form_.eyeWindow->toggleViewCentreMarker();
    change(*form_.mainView);
    form_.eyeWindow->toggleViewCentreMarker();
    form_.mainView->paintHandler();
}

void Navigation::showX() { form_.ui_.navigation.moveXValue->setText(QString::number(-int64_t{form_.mainView->viewOffsetX})); }
void Navigation::showY() { form_.ui_.navigation.moveYValue->setText(QString::number(-int64_t{form_.mainView->viewOffsetY})); }

void Navigation::pan(int sx, int sy) {
    moveView([&](MainView& view) {
        const int64_t step = fieldValue(form_.ui_.navigation.moveStepEdit, StepWhenUnreadable);
        if (sx != 0) {
            view.viewOffsetX = clampOffset(view.viewOffsetX + sx * step);
            showX();
        }
        if (sy != 0) {
            view.viewOffsetY = clampOffset(view.viewOffsetY + sy * step);
            showY();
        }
    });
}

void Navigation::moveTo(int64_t x, int64_t y) {
    moveView([&](MainView& view) {
        view.viewOffsetX = clampOffset(x);
        view.viewOffsetY = clampOffset(y);
        showX();
        showY();
    });
}

void Navigation::resetX() {
    moveView([&](MainView& view) {
        view.viewOffsetX = 0;
        showX();
    });
}

void Navigation::resetY() {
    moveView([&](MainView& view) {
        view.viewOffsetY = 0;
        showY();
    });
}

void Navigation::center() {
    moveView([&](MainView& view) {
        view.viewOffsetX = 0;
        view.viewOffsetY = 0;
        showX();
        showY();
    });
}

void Navigation::centerToAnt() { centreOnAnt(AntChoice::Clamp); }
void Navigation::previousAnt() { centreOnAnt(AntChoice::Previous); }
void Navigation::nextAnt() { centreOnAnt(AntChoice::Next); }

void Navigation::centreOnAnt(AntChoice choice) {
    const qm::World& w = form_.world;
    const int64_t antCount = w.counters.antCount;
    if (antCount <= 0) return;
    const int64_t number = fieldValue(form_.ui_.navigation.antNumberEdit, AntNumberWhenUnreadable);
    int64_t target = number;
    if (choice == AntChoice::Clamp) {
        target = std::clamp<int64_t>(number, 1, antCount);
    } else {
        target = choice == AntChoice::Previous ? number - 1 : number + 1;
        if (target < 1) target = antCount;
        else if (target > antCount) target = 1;
    }
    // The settings may have replaced the ant arrays since the run, with fewer places than ants.
    if (!w.antPos || target > w.antPosCapacity) return;

    form_.ui_.navigation.antNumberEdit->setText(QString::number(target));
    if (choice != AntChoice::Clamp) form_.ui_.navigation.antNumberEdit->repaint();  // visible while the view repaints
    const qm::AntPos ant = w.antPos[target - 1];
    moveView([&](MainView& view) {
        view.viewOffsetX = clampOffset(-int64_t{ant.x});
        view.viewOffsetY = clampOffset(-int64_t{ant.y});
        showX();
        showY();
    });
}

#include "gui/view/Navigation.h"

#include <algorithm>

#include <QLabel>
#include <QLineEdit>

#include "core/World.h"
#include "gui/window/MainWindowWidgets.h"
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

Navigation::Navigation(NavigationWidgets& ui, const qm::World& world, MainView& mainView, EyeWindow& eyeWindow)
    : ui_(ui), world_(world), mainView_(mainView), eyeWindow_(eyeWindow) {}

int32_t Navigation::clampOffset(int64_t value) {
    return static_cast<int32_t>(std::clamp(value, -OffsetLimit, OffsetLimit));
}

template <class Change>
void Navigation::moveView(Change&& change) {
    eyeWindow_.toggleViewCentreMarker();
    change(mainView_);
    eyeWindow_.toggleViewCentreMarker();
    mainView_.paintHandler();
}

void Navigation::showX() { ui_.moveXValue->setText(QString::number(-int64_t{mainView_.viewOffsetX})); }
void Navigation::showY() { ui_.moveYValue->setText(QString::number(-int64_t{mainView_.viewOffsetY})); }

void Navigation::pan(int sx, int sy) {
    moveView([&](MainView& view) {
        const int64_t step = fieldValue(ui_.moveStepEdit, StepWhenUnreadable);
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
    const qm::World& w = world_;
    const int64_t antCount = w.counters.antCount;
    if (antCount <= 0) return;
    const int64_t number = fieldValue(ui_.antNumberEdit, AntNumberWhenUnreadable);
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

    ui_.antNumberEdit->setText(QString::number(target));
    if (choice != AntChoice::Clamp) ui_.antNumberEdit->repaint();  // visible while the view repaints
    const qm::AntPos ant = w.antPos[target - 1];
    moveView([&](MainView& view) {
        view.viewOffsetX = clampOffset(-int64_t{ant.x});
        view.viewOffsetY = clampOffset(-int64_t{ant.y});
        showX();
        showY();
    });
}

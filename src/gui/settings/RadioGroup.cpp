#include "gui/settings/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>

namespace qm {

namespace {
constexpr int TitleHeight = 16;
constexpr int SideMargin = 8;
constexpr int BottomMargin = 4;
}  // namespace

RadioGroup::RadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)), columns_(columns < 1 ? 1 : columns) {
    group_->setExclusive(true);
    for (const QString& text : items) {
        auto* button = new QRadioButton(text, this);
        group_->addButton(button, count());
        buttons_.push_back(button);
    }
    connect(group_, &QButtonGroup::idClicked, this, [this](int id) { choose(id); });
    arrangeItems();
}

int RadioGroup::itemIndex() const {
    const int id = group_->checkedId();
    return id >= 0 && id < count() ? id : -1;
}

void RadioGroup::setItemIndex(int index) {
    if (index >= 0 && index < count()) {
        buttons_[static_cast<std::size_t>(index)]->setChecked(true);
    } else if (QAbstractButton* checked = group_->checkedButton()) {
        // An exclusive group refuses to uncheck its last button.
        group_->setExclusive(false);
        checked->setChecked(false);
        group_->setExclusive(true);
    }
    choose(itemIndex());
}

QRadioButton* RadioGroup::item(int index) const {
    return index >= 0 && index < count() ? buttons_[static_cast<std::size_t>(index)] : nullptr;
}

void RadioGroup::removeLastItem() {
    if (buttons_.empty()) return;
    QRadioButton* last = buttons_.back();
    buttons_.pop_back();
    group_->removeButton(last);
    delete last;
    // The removed item's choice is gone; the next choice of any item counts as a change.
    if (lastIndex_ >= count()) lastIndex_ = -1;
    arrangeItems();
}

void RadioGroup::choose(int index) {
    if (index == lastIndex_) return;
    lastIndex_ = index;
    emit clicked();
}

void RadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    arrangeItems();
}

// Items fill the columns top to bottom, like a design-time radio group.
void RadioGroup::arrangeItems() {
    if (buttons_.empty()) return;
    const int rows = (count() + columns_ - 1) / columns_;
    const int columnWidth = (width() - 2 * SideMargin) / columns_;
    const int rowHeight = (height() - TitleHeight - BottomMargin) / rows;
    for (int i = 0; i < count(); ++i) {
        const int column = i / rows;
        const int row = i % rows;
        buttons_[static_cast<std::size_t>(i)]->setGeometry(SideMargin + column * columnWidth,
                                                           TitleHeight + row * rowHeight,
                                                           columnWidth, rowHeight);
    }
}

}  // namespace qm

#include "gui/timeline/GoToStepDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "definitions/NumberText.h"

namespace qmgui {

GoToStepDialog::GoToStepDialog(int64_t current, int64_t maximum, QWidget* parent)
    : QDialog(parent), maximum_(maximum) {
    setWindowTitle(QStringLiteral("Go to step"));
    field_ = new QLineEdit(QString::number(current), this);
    field_->selectAll();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Step (0 - %1):").arg(maximum), field_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(field_, &QLineEdit::textChanged, this, [this] { ok_->setEnabled(step().has_value()); });
    ok_->setEnabled(step().has_value());
}

std::optional<int64_t> GoToStepDialog::step() const {
    int64_t value = 0;
    if (!qm::textToInt64(field_->text().toStdString(), value) || value < 0 || value > maximum_) return std::nullopt;
    return value;
}

std::optional<int64_t> GoToStepDialog::ask(QWidget* parent, int64_t current, int64_t maximum) {
    GoToStepDialog dialog(current, maximum, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.step();
}

}  // namespace qmgui

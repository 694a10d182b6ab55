#include "gui/recording/RecordAnimationDialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

RecordAnimationDialog::RecordAnimationDialog(const qm::RecordingOptions& initial, FileChooser chooseFile,
                                             QWidget* parent)
    : QDialog(parent), chooseFile_(std::move(chooseFile)) {
    setWindowTitle(QStringLiteral("Record animation"));

    file_ = new QLineEdit(QFile::decodeName(initial.fileName.c_str()));
    auto* browse = new QPushButton(QStringLiteral("Browse..."));
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file_);
    fileRow->addWidget(browse);

    everyDisplayed_ = new QRadioButton(QStringLiteral("Every displayed frame"));
    everySteps_ = new QRadioButton(QStringLiteral("Every"));
    steps_ = new QSpinBox;
    steps_->setRange(1, 2147483647);
    steps_->setSuffix(QStringLiteral(" steps"));
    steps_->setValue(static_cast<int>(std::clamp<int64_t>(initial.everySteps, 1, 2147483647)));
    (initial.taking == qm::FrameTaking::EveryNSteps ? everySteps_ : everyDisplayed_)->setChecked(true);
    auto* stepsRow = new QHBoxLayout;
    stepsRow->addWidget(everySteps_);
    stepsRow->addWidget(steps_);
    stepsRow->addStretch();
    auto* taking = new QGroupBox(QStringLiteral("Frames"));
    auto* takingLayout = new QVBoxLayout(taking);
    takingLayout->addWidget(everyDisplayed_);
    takingLayout->addLayout(stepsRow);

    view_ = new QRadioButton(QStringLiteral("The main view as it is shown"));
    area_ = new QRadioButton(QStringLiteral("The whole painted area, reduced to fit"));
    (initial.picture == qm::RecordedPicture::WholeArea ? area_ : view_)->setChecked(true);
    auto* shown = new QGroupBox(QStringLiteral("Picture"));
    auto* shownLayout = new QVBoxLayout(shown);
    shownLayout->addWidget(view_);
    shownLayout->addWidget(area_);

    delay_ = new QSpinBox;
    delay_->setRange(0, 655350);
    delay_->setSingleStep(10);
    delay_->setSuffix(QStringLiteral(" ms"));
    delay_->setValue(initial.delayMs);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    record_ = buttons->addButton(QStringLiteral("Record"), QDialogButtonBox::AcceptRole);
    record_->setDefault(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("File:"), fileRow);
    form->addRow(QStringLiteral("Delay per frame:"), delay_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(taking);
    layout->addWidget(shown);
    layout->addWidget(buttons);

    connect(browse, &QPushButton::clicked, this, [this] {
        if (!chooseFile_) return;
        if (const std::optional<QString> chosen = chooseFile_(file_->text())) file_->setText(*chosen);
    });
    connect(file_, &QLineEdit::textChanged, this, &RecordAnimationDialog::updateControls);
    connect(everySteps_, &QRadioButton::toggled, this, &RecordAnimationDialog::updateControls);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateControls();
}

void RecordAnimationDialog::updateControls() {
    steps_->setEnabled(everySteps_->isChecked());
    record_->setEnabled(!file_->text().trimmed().isEmpty());
}

qm::RecordingOptions RecordAnimationDialog::options() const {
    qm::RecordingOptions o;
    QString name = file_->text().trimmed();
    if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".gif");
    o.fileName = QFile::encodeName(name).toStdString();
    o.taking = everySteps_->isChecked() ? qm::FrameTaking::EveryNSteps : qm::FrameTaking::EveryDisplayedFrame;
    o.everySteps = steps_->value();
    o.picture = area_->isChecked() ? qm::RecordedPicture::WholeArea : qm::RecordedPicture::MainView;
    o.delayMs = delay_->value();
    return o;
}

#pragma once
// The "Record animation..." dialog: the file, how frames are taken, what they show and the
// playback delay. Choosing the file goes through the caller, so the dialog needs no window.

#include <functional>
#include <optional>

#include <QDialog>
#include <QString>

#include "gui/recording/RecordingOptions.h"

class QLineEdit;
class QRadioButton;
class QSpinBox;
class QPushButton;

class RecordAnimationDialog : public QDialog {
    Q_OBJECT
public:
    // Asks for a file name given the one typed so far; nothing when cancelled.
    using FileChooser = std::function<std::optional<QString>(const QString& current)>;

    RecordAnimationDialog(const qm::RecordingOptions& initial, FileChooser chooseFile, QWidget* parent = nullptr);

    // What the fields hold; a name without an extension gets ".gif".
    qm::RecordingOptions options() const;

    QLineEdit* fileEdit() const { return file_; }
    QRadioButton* everyDisplayedButton() const { return everyDisplayed_; }
    QRadioButton* everyStepsButton() const { return everySteps_; }
    QSpinBox* stepsBox() const { return steps_; }
    QRadioButton* viewButton() const { return view_; }
    QRadioButton* areaButton() const { return area_; }
    QSpinBox* delayBox() const { return delay_; }
    QPushButton* recordButton() const { return record_; }

private:
    void updateControls();

    FileChooser chooseFile_;
    QLineEdit* file_;
    QRadioButton* everyDisplayed_;
    QRadioButton* everySteps_;
    QSpinBox* steps_;
    QRadioButton* view_;
    QRadioButton* area_;
    QSpinBox* delay_;
    QPushButton* record_;
};

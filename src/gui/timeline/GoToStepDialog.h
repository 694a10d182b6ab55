#pragma once
// "Go to step...": asks for a step between 0 and a maximum; OK only while the text is one.

#include <QDialog>
#include <cstdint>
#include <optional>

class QLineEdit;
class QPushButton;

namespace qmgui {

class GoToStepDialog : public QDialog {
    Q_OBJECT
public:
    GoToStepDialog(int64_t current, int64_t maximum, QWidget* parent = nullptr);

    // The step typed, when it is one in range.
    std::optional<int64_t> step() const;
    QLineEdit* field() const { return field_; }
    QPushButton* okButton() const { return ok_; }

    // Shows the dialog modally; the step chosen, or nothing when cancelled.
    static std::optional<int64_t> ask(QWidget* parent, int64_t current, int64_t maximum);

private:
    QLineEdit* field_;
    QPushButton* ok_;
    int64_t maximum_;
};

}  // namespace qmgui

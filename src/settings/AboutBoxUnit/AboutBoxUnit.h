#pragma once
// The settings dialog. Its controls are the stored form of most settings: the main window reads
// them directly, and the handlers below copy the rest into the world through the SettingsHost.

#include <array>
#include <cstdint>
#include <utility>

#include <QDialog>

#include "settings/AboutBoxUnit/MemoryBudget.h"
#include "view/LabelClick.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class Dialogs;
class SettingsHost;

namespace qm {
class ImageSurface;
class RadioGroup;
}  // namespace qm

inline constexpr const char* MsgAntArraysMemory = "ERROR: not enought memory.";
inline constexpr const char* MsgFatalMemory =
    "FATAL ERROR: not enought memory. Close aplication or ??????.";
inline constexpr const char* ProductHomePage = "https://quillmarch.example.org/";
inline constexpr const char* MakerHomePage = "https://quillmarch.example.org/team";

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    static constexpr int32_t MaxHandBrakeCoefficient = 42000;
    static constexpr int32_t InvalidHandBrakeCoefficient = 100;

    TAboutBox(SettingsHost* host, Dialogs* dialogs, QWidget* parent = nullptr);
    ~TAboutBox() override;
    void setDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }

    // --- Controls, named as in the window design ---
    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Comments;
    QLabel* Copyright;
    QLabel* Label18;  // product home page link
    QLabel* Label17;  // maker home page link
    QLabel* LabelSteps;
    QLabel* LabelBounds;
    QLabel* LabelFilled;
    QLabel* LabelFastTo;
    QLabel* LabelMem;
    qm::RadioGroup* RadioGroupMem;
    QCheckBox* CheckBoxContinue;
    QRadioButton* RB15;
    QRadioButton* RB255;
    QRadioButton* RB65535;
    QRadioButton* RBmany;
    QLabel* LabelMM;
    QFrame* Panel2;
    QRadioButton* RadioButtonL;
    QRadioButton* RadioButtonG;
    QFrame* Panel3;
    QComboBox* ComboBoxStates;
    qm::RadioGroup* RadioGroupCS;
    qm::ImageSurface* PaintBox1;
    QLineEdit* Edit1;
    QComboBox* ComboBoxTimer;
    QPushButton* Button1;

    // --- Handlers ---
    void FormShow();
    void FormClose();  // applies the hand brake coefficient
    void CheckBoxContinueClick();
    void RadioGroupMemClick();
    // Mode change, shared by RB15, RB255, RB65535, RBmany, RadioButtonL and RadioButtonG.
    void RB15Click();
    void ComboBoxStatesChange();
    void RadioGroupCSClick();
    void PaintBox1Paint();
    void ComboBoxTimerChange();
    void Label18Click();
    void Label17Click();

    // --- Operations the main window calls ---
    // First activation: default memory item from the free memory, items the machine cannot
    // hold removed; no warning is shown meanwhile.
    void fitMemoryChoices();
    void computeHalfSizes();
    void memoryChoiceChanged();
    void recomputeLimits();
    // Locks the controls that could free or resize what a running loop uses.
    void setRunLock(bool locked);
    void clearWarningGuard() { warningGuard_ = false; }
    bool warningGuard() const { return warningGuard_; }
    int memoryItem() const;
    int spectrumItem() const;
    bool continueChecked() const;
    // Shows the settings of an opened world and applies them as the handlers would (no memory
    // warning: the world's memory is taken already).
    void applyWorldSettings(bool generalized, qm::AntMaxChoice antMax, int states, int spectrum, int memoryItem,
                            bool continueCompute);
    int32_t halfSize() const;  // of the current memory item
    int32_t handBrakeCoefficient() const { return handBrakeCoefficient_; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void done(int result) override;

private:
    void buildHeader();
    void buildLimits();
    void buildMemoryChoice();
    void buildAntMaximum();
    void buildModeAndStates();
    void buildBrakeAndTimer();
    void nameControls();
    void connectHandlers();

    qm::AntMaxChoice antMaxChoice() const;
    void applyAntMaximum();
    void showError(const char* text);

    SettingsHost* host_;
    Dialogs* dialogs_;
    QButtonGroup* antMaxGroup_;
    QButtonGroup* modeGroup_;
    std::array<int32_t, qm::MemoryChoiceCount> halfSizes_{};
    // The ant maximum and generalized choice the last mode change applied: a click on a button
    // that is already checked changes nothing and must release nothing. The first activation
    // sets up 255 Langton ants.
    qm::LabelClick linkClick_;
    std::pair<qm::AntMaxChoice, bool> appliedMode_{qm::AntMaxChoice::Ants255, false};
    int32_t handBrakeCoefficient_ = 50;
    bool warningGuard_ = true;  // cleared at the end of the main window's first activation
};

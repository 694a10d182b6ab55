#pragma once
// The settings dialog. Its controls are the stored form of most settings: the main window reads
// them directly, and the handlers below copy the rest into the world through the SettingsHost.

#include <array>
#include <cstdint>
#include <utility>

#include <QDialog>

#include "core/MemoryBudget.h"
#include "gui/view/LabelClick.h"

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

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int32_t MaxHandBrakeCoefficient = 42000;
    static constexpr int32_t InvalidHandBrakeCoefficient = 100;

    SettingsDialog(SettingsHost* host, Dialogs* dialogs, QWidget* parent = nullptr);
    ~SettingsDialog() override;
    void setDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }

    // --- Controls, named as in the window design ---
    QLabel* programIcon;
    QLabel* productName;
    QLabel* versionLabel;
    QLabel* commentsLabel;
    QLabel* copyrightLabel;
    QLabel* productHomeLink;  // product home page link
    QLabel* makerHomeLink;  // maker home page link
    QLabel* stepsLimitValue;
    QLabel* boundsLimitValue;
    QLabel* filledLimitValue;
    QLabel* fastGridLimitValue;
    QLabel* memoryNeedValue;
    qm::RadioGroup* memoryChoice;
    QCheckBox* continueCheck;
    QRadioButton* ants15Radio;
    QRadioButton* ants255Radio;
    QRadioButton* ants65535Radio;
    QRadioButton* antsManyRadio;
    QLabel* unlimitedLabel;
    QFrame* antMaximumPanel;
    QRadioButton* langtonRadio;
    QRadioButton* generalizedRadio;
    QFrame* antKindPanel;
    QComboBox* statesCombo;
    qm::RadioGroup* spectrumChoice;
    qm::ImageSurface* spectrumPreview;
    QLineEdit* handBrakeCoefficientEdit;
    QComboBox* refreshPeriodCombo;
    QPushButton* okButton;

    // --- Handlers ---
    void prepareToShow();
    void applyOnClose();  // applies the hand brake coefficient
    void continueToggled();
    void memoryChoiceClicked();
    // Mode change, shared by ants15Radio, ants255Radio, ants65535Radio, antsManyRadio, langtonRadio and generalizedRadio.
    void modeChanged();
    void statesChanged();
    void spectrumChanged();
    void paintSpectrum();
    void refreshPeriodChanged();
    void openProductHomePage();
    void openMakerHomePage();

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

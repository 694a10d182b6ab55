#pragma once
// The settings dialog. It shows the window's RunSettings and edits them: every handler stores
// what its control now says in the value and copies the rest into the world through the
// SettingsHost. The window and its panels read the value, never the controls.

#include <array>
#include <cstdint>
#include <utility>

#include <QDialog>

#include "core/MemoryBudget.h"
#include "core/RunSettings.h"
#include "gui/settings/SettingsView.h"
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

class SettingsDialog : public QDialog, public SettingsView {
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
    // The main window's first activation: memory item 1, then the items fitted to the machine,
    // "continue" as the settings say where the system allows it, half sizes and limits; memory
    // warnings from then on.
    void firstActivation() override;
    void computeHalfSizes();
    void memoryChoiceChanged();
    void recomputeLimits();
    // Locks the controls that could free or resize what a running loop uses.
    void setRunLock(bool locked) override;
    void clearWarningGuard() { warningGuard_ = false; }
    bool warningGuard() const { return warningGuard_; }
    int memoryItem() const;
    int spectrumItem() const;
    bool continueChecked() const;
    // Shows `settings` (those of an opened world) and applies them as the handlers would (no
    // memory warning: the world's memory is taken already). A copy: the handlers it runs store
    // into the window's settings meanwhile.
    void applySettings(qm::RunSettings settings) override;
    void showModally(Dialogs& dialogs) override;
    int memoryItemCount() const;
    int32_t halfSize() const;  // of the current memory item
    int32_t handBrakeCoefficient() const { return settings_.handBrakeCoefficient; }

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
    // What the mode, memory, continue, states, spectrum and refresh controls now say.
    void storeSettings();

    SettingsHost* host_;
    qm::RunSettings& settings_;
    Dialogs* dialogs_;
    QButtonGroup* antMaxGroup_;
    QButtonGroup* modeGroup_;
    std::array<int32_t, qm::MemoryChoiceCount> halfSizes_{};
    // The ant maximum and generalized choice the last mode change applied: a click on a button
    // that is already checked changes nothing and must release nothing. The first activation
    // sets up 255 Langton ants.
    qm::LabelClick linkClick_;
    std::pair<qm::AntMaxChoice, bool> appliedMode_{qm::AntMaxChoice::Ants255, false};
    bool warningGuard_ = true;  // cleared at the end of the main window's first activation
};

#pragma once
// What the settings dialog needs from the main window. MainWindow implements it; tests fake it.
// The dialog never reaches into the main window's widgets directly, only through this.

#include <array>
#include <cstdint>

#include <QString>

#include "core/World.h"
#include "core/MemoryBudget.h"
#include "core/RunSettings.h"
#include "display/Colours.h"

class QTimer;
class SettingsView;

inline constexpr const char* MsgNotPossibleOn9x = "Is not possible for Windows 95,98,ME";

class SettingsHost {
public:
    virtual ~SettingsHost() = default;

    // The settings the dialog shows and edits; the host owns them.
    virtual qm::RunSettings& settings() = 0;
    // The world whose mode, ant arrays, number of states and limits the dialog sets.
    virtual qm::World& world() = 0;
    // Fast grid and sparse stores of the previous run: they no longer match the new settings.
    virtual void releaseRunStructures() = 0;
    // Langton or generalized look of the main window: updateWhiteInEyeCheck and firstSixteenCheck shown only for
    // Langton ants, and the definition legend definitionLegend (see definitionLegend* below).
    virtual void setGeneralizedUi(bool generalized, int states) = 0;
    // Caption and hint of peakFilledLabel, left of the peak-filled counter.
    virtual void setPeakLabel(const QString& caption, const QString& hint) = 0;
    // Square painters for the current square size (they differ per mode).
    virtual void reselectPainters() = 0;
    // Recomputes the hand brake count from the speed track bar and the new coefficient.
    virtual void applyHandBrake() = 0;
    virtual qm::StateColourTable& stateColours() = 0;
    virtual qm::ColourRef viewBackground() = 0;
    virtual void setHalfSizes(const std::array<int32_t, qm::MemoryChoiceCount>& halfSizes) = 0;
    // False on systems where a run may not continue beyond the fast grid.
    virtual bool continuePossible() = 0;
    virtual bool runActive() = 0;
    // True while the display mode hides the state numbers ("All steps::" disabled).
    virtual bool stateNumbersDisabled() = 0;
    // The timer that refreshes the state panel while its numbers are hidden.
    virtual QTimer* stateTimer() = 0;
    // The dialog shows the settings from its making (`view`: itself) until it goes (nullptr):
    // the host tells it what changes the settings outside it, and never reaches a dialog gone.
    virtual void setSettingsView(SettingsView* view) { (void)view; }
};

// Texts of the definition legend definitionLegend, shared by the dialog and the main window so the two
// cannot drift apart.
inline QString definitionLegendCaption(bool generalized) {
    return generalized ? QStringLiteral("X,Y,dir.,prg.(Dec | 0xHex | BxBin)")
                       : QStringLiteral("X,Y,direction,RRGGBB (hex)");
}

// A program has one turn bit per state, so with N states it ranges up to 2^N.
inline QString definitionLegendHint(bool generalized, int states) {
    return generalized ? QStringLiteral("X,Y,direction,program 1(0) - 2^") + QString::number(states)
                       : QStringLiteral("X,Y,direction,color");
}

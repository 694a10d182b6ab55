#pragma once
// The " State " panel: the counters as texts and as an overlay on the main view, the display
// mode that chooses the step hook, the update timer, and the hand brake with its pause link.

#include <cstdint>

#include <QString>

#include "display/Colours.h"
#include "gui/view/ShapedTexts.h"

class MainView;
struct PaintContext;
struct StateWidgets;
struct VisualisationWidgets;

namespace qm {
class ImageSurface;
struct RunCounters;
struct RunSettings;
struct World;
}

class StatePanel {
public:
    // `brake`: the hand brake slider and pause link; `viewSurface`: where the overlay goes.
    StatePanel(StateWidgets& ui, VisualisationWidgets& brake, qm::ImageSurface& viewSurface, qm::World& world,
               const qm::RunSettings& settings, const qm::ColourRef& viewBackground, PaintContext& paintContext,
               MainView& mainView);

    void displayModeChange();  // displayModeCombo changed (also at run start, with the run active)
    void textStateRoutine();   // writes the counter texts
    void overlayRoutine();     // draws the counters onto the main view
    void overlayErase();       // the overlay's area back to the view background
    void handBrakeChange();    // handBrakeSlider changed: caption of the pause link, brake count
    void pauseLinkClick();     // "stop ^" / "««« GO"
    void timerRule();          // the settings dialog's "Update disabled state every:" rule
    void timerEvent();         // stateRefreshTimer fired
    void labelsEnable(bool enabled);

    // Run procedure duties. runStartDuties: hints of the captions cleared, "All steps::" "0"
    // (called when the run has just become active, before the display mode is applied).
    // afterAntsRead: "Ants count:" shows the ant count. runEndDuties: timer off, track bar back
    // to the saved brake position, final hints, labels enabled, final texts, step hook once.
    void runStartDuties();
    void runContinueDuties();  // a stopped run goes on: the final-value hints go, the picture stays
    void afterAntsRead();
    void runEndDuties();

    static const QString StopCaption;   // "stop ^"
    static const QString PauseCaption;  // "««« GO"
    // Display mode items.
    enum : int { HideNumbers = 0, GraphicsOnly = 1, TextOnly = 2, TextAndGraphics = 3 };

    int32_t savedBrakePosition = 1;
    int displayItem = 1;   // displayModeCombo item in force
    int previousItem = 1;

private:
    bool runActive() const;

    StateWidgets& ui_;
    VisualisationWidgets& brake_;
    qm::ImageSurface& viewSurface_;
    qm::World& world_;
    const qm::RunSettings& settings_;
    const qm::ColourRef& viewBackground_;
    PaintContext& paintContext_;
    MainView& mainView_;
    qm::ShapedTexts overlayCaptions_;
};

namespace qm {
// "H:MM:SS" of the time of day part of now - start (days); 24 hours and more wrap to 0.
QString elapsedTimeText(double startDays, double nowDays);
// Ant count times step count, as the 64-bit product the panel shows.
int64_t allSteps(const RunCounters& counters);
}  // namespace qm

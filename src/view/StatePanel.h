#pragma once
// The " State " panel: the counters as texts and as an overlay on the main view, the display
// mode that chooses the step hook, the update timer, and the hand brake with its pause link.

#include <cstdint>

class TForm1;

class StatePanel {
public:
    explicit StatePanel(TForm1& form);

    void displayModeChange();  // CBShow changed (also at run start, with the run active)
    void textStateRoutine();   // writes the counter texts
    void overlayRoutine();     // draws the counters onto the main view
    void handBrakeChange();    // TrackBarSpeed changed: caption of the pause link, brake count
    void pauseLinkClick();     // "stop ^" / "««« GO"
    void timerRule();          // the settings dialog's "Update disabled state every:" rule
    void timerEvent();         // Timer1 fired
    void labelsEnable(bool enabled);

    // Run procedure duties. runStartDuties: hints of the captions cleared, "All steps::" "0"
    // (called when the run has just become active, before the display mode is applied).
    // afterAntsRead: "Ants count:" shows the ant count. runEndDuties: timer off, track bar back
    // to the saved brake position, final hints, labels enabled, final texts, step hook once.
    void runStartDuties();
    void afterAntsRead();
    void runEndDuties();

    int32_t savedBrakePosition = 1;
    int displayItem = 1;   // CBShow item in force
    int previousItem = 1;

private:
    TForm1& form_;
};

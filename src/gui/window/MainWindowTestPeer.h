#pragma once
// The one way into the window for tests and the benchmark: its widgets, parts and handlers,
// which the window keeps to itself. Nothing in the program uses it.

#include "gui/window/MainWindow.h"
#include "gui/timeline/TimelineCommands.h"

class MainWindowTestPeer {
public:
    explicit MainWindowTestPeer(MainWindow& window) : w_(window) {}

    MainWindowWidgets& ui() const { return w_.ui_; }
    qm::World& world() const { return w_.world; }
    qm::StateColourTable& stateColours() const { return w_.stateColours; }
    qm::ColourRef& viewBackground() const { return w_.viewBackground; }
    QtEventPump& pump() const { return w_.pump; }
    MainView& mainView() const { return *w_.mainView; }
    StatePanel& statePanel() const { return *w_.statePanel; }
    EyeWindow& eyeWindow() const { return *w_.eyeWindow; }
    Navigation& navigation() const { return *w_.navigation; }
    BitmapExport& bitmapExport() const { return *w_.bitmapExport; }
    qmgui::TimelineCommands& timelineCommands() const { return *w_.timelineCommands; }
    // The dialog that shows the settings; none without one.
    SettingsView* settingsView() const { return w_.settingsView_ == &w_.noSettingsView_ ? nullptr : w_.settingsView_; }
    qm::RunSettings& settings() const { return w_.settings_; }
    FileDialogSetup& definitionOpenDialog() const { return w_.definitionOpenDialog; }
    FileDialogSetup& definitionSaveDialog() const { return w_.definitionSaveDialog; }
    FileDialogSetup& pictureSaveDialog() const { return w_.pictureSaveDialog; }
    bool& continuePossible() const { return w_.continuePossible; }
    bool& windows9xFamily() const { return w_.windows9xFamily; }
    double lastLoopSeconds() const { return w_.lastLoopSeconds; }
    std::vector<std::string> editorLines() const { return w_.editorLines(); }

    FrameObservers& frameObservers() const { return w_.frameObservers_; }
    QAction* recordAnimationAction() const { return w_.recordAnimationAction_; }
    RecordingCommands& recordingCommands() const { return *w_.recordingCommands_; }

    void startOrBreakRun() const { w_.startOrBreakRun(); }
    void squareSizeChanged() const { w_.squareSizeChanged(); }
    void displayModeChanged() const { w_.displayModeChanged(); }
    void refreshStateTick() const { w_.refreshStateTick(); }
    void paintView() const { w_.paintView(); }

private:
    MainWindow& w_;
};

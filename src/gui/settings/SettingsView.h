#pragma once
// What the main window tells whoever shows its settings, for the changes that start outside the
// settings dialog, so that what the dialog shows stays what the settings are. The dialog makes
// itself the window's view when it is made and takes itself away when it goes
// (SettingsHost::setSettingsView); until then, and after, NoSettingsView listens, so the window
// never asks whether a dialog is there.

#include "core/RunSettings.h"

class Dialogs;

class SettingsView {
public:
    virtual ~SettingsView() = default;

    // The window's first activation: memory choices fitted to the machine, "continue" as the
    // settings say where the system allows it, half sizes and limits; memory warnings from then on.
    virtual void firstActivation() = 0;
    // The settings were replaced (an opened world's): shown, and applied as the handlers would.
    virtual void applySettings(qm::RunSettings settings) = 0;
    // A run began or ended: the controls that could free or resize what it uses are locked or free.
    virtual void setRunLock(bool locked) = 0;
    // "Setting": the settings shown to be edited, modally through `dialogs`.
    virtual void showModally(Dialogs& dialogs) = 0;
};

// Nobody shows the settings (a window made without its dialog).
class NoSettingsView final : public SettingsView {
public:
    void firstActivation() override {}
    void applySettings(qm::RunSettings) override {}
    void setRunLock(bool) override {}
    void showModally(Dialogs&) override {}
};

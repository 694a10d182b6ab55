#pragma once
// The main window. It owns the world of the run, the colours and one object per display
// subsystem; its handlers keep the names of the controls and events and forward to the
// subsystem that does the work, so this class reads as a table of what happens where.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <QColor>
#include <QString>
#include <QWidget>

#include "gui/FileDialogSetup.h"
#include "gui/PresentingMessages.h"
#include "gui/QtEventPump.h"
#include "gui/view/FrameObservers.h"
#include "gui/view/PaintContext.h"
#include "gui/window/MainWindowWidgets.h"
#include "core/World.h"
#include "core/RunPausePoints.h"
#include "core/MemoryBudget.h"
#include "gui/settings/SettingsHost.h"
#include "gui/settings/SettingsView.h"
#include "display/Colours.h"
#include "gui/view/LabelClick.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QTabWidget;
class QTimer;
class QToolButton;

class BitmapExport;
class Dialogs;
class EditorCommands;
class EyeWindow;
class MainView;
class Navigation;
class PictureCommands;
class RecordingCommands;
class StatePanel;
class SettingsDialog;
class ViewGestures;
class StartClickGuard;

namespace qmgui {
class TimelineCommands;
}

namespace qm {
class ImageSurface;
class LoadedWorld;
}

inline constexpr const char* TextFileFilter =
    "Textové soubory (*.txt)|*.txt|Všechny soubory (*.*)|*.*";
inline constexpr const char* BitmapFileFilter =
    "Bitmaps (*.bmp)|*.bmp|PNG pictures (*.png)|*.png|All files (*.*)|*.*";
inline constexpr const char* WorldFileFilter = "Worlds (*.qmw)|*.qmw|All files (*.*)|*.*";
inline constexpr const char* MsgFatalBitmapMemory =
    "FATAL ERROR: not enought memory. Close aplication or ??????.";
inline constexpr const char* StartCaption = "Start";
inline constexpr const char* BreakCaption = "Break";

class MainWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int InitialClientWidth = 757;
    static constexpr int InitialClientHeight = 553;
    static constexpr int MinimumClientWidth = 642;
    static constexpr int MinimumClientHeight = 393;
    static constexpr int LeftColumnWidth = 161;
    static constexpr int BottomStripHeight = 112;

    explicit MainWindow(Dialogs& dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The program's settings dialog: a dialog of this window, centred over it and without a
    // task-bar entry of its own. It is to be destroyed before the window; it lets go of itself.
    std::unique_ptr<SettingsDialog> createSettingsDialog();
    // What a settings dialog of this window is made with: it shows the window's settings from
    // then on, and the window tells it of the changes that start outside it.
    SettingsHost& settingsHost() { return settingsHost_; }
    // First activation: memory choices fitted to the machine, the first run's display set up.
    void activate();
    // Opens a world file into the window; false, after the message, when it is refused.
    bool openWorldFile(const QString& fileName);
    // "quillmarch FILE": a world file is opened, any other file loaded into the editor.
    void openFromCommandLine(const QString& fileName);
    bool runInProgress() const { return runInProgress_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The window's own parts work on its widgets and state; tests and the benchmark come in
    // through MainWindowTestPeer.
    friend class MainWindowTestPeer;

    // --- State owned by the window ---
    qm::World world;
    qm::StateColourTable stateColours{};
    qm::ColourRef viewBackground = qm::DefaultViewBackground;
    std::array<int32_t, qm::MemoryChoiceCount> halfSizes{};  // per memory item, for the ant maximum
    qm::RunSettings settings_;  // shown and edited by the settings dialog
    Dialogs* dialogs;
    QtEventPump pump;
    PresentingMessages runMessages{world, *dialogs, pump};  // the world's message sink
    bool continuePossible = false;   // a run may go on beyond the fast grid on this system
    bool windows9xFamily = false;    // the old consumer family: no "continue compute"
    bool firstActivation = false;
    FileDialogSetup definitionOpenDialog{TextFileFilter, QString(), QString()};
    FileDialogSetup definitionSaveDialog{TextFileFilter, QStringLiteral("txt"), QString()};
    FileDialogSetup pictureSaveDialog{BitmapFileFilter, QStringLiteral("bmp"), QString()};
    FileDialogSetup worldFileDialog{WorldFileFilter, QStringLiteral("qmw"), QString()};
    std::string runDefinitionText;  // the definition the last run started from

    MainWindowWidgets ui_;
    PaintContext paintContext_;  // what the world's hooks get
    FrameObservers frameObservers_;  // told of every presented frame of a run

    // --- Display subsystems (constructed after the controls) ---
    std::unique_ptr<MainView> mainView;
    std::unique_ptr<StatePanel> statePanel;
    std::unique_ptr<Navigation> navigation;
    std::unique_ptr<EyeWindow> eyeWindow;
    std::unique_ptr<BitmapExport> bitmapExport;
    std::unique_ptr<EditorCommands> editorCommands;
    std::unique_ptr<PictureCommands> pictureCommands;
    std::unique_ptr<ViewGestures> viewGestures;
    std::unique_ptr<StartClickGuard> startClickGuard;

    // --- Life of the window ---
    void initialise();
    void layoutAfterResize();
    bool mayClose();

    // --- Run ---
    void startOrBreakRun();
    double lastLoopSeconds = 0.0;  // time of the last run's step loop alone (for the benchmark)
    // Locks (or frees) the controls of both windows that could replace what a run uses.
    void setRunLock(bool locked);

    // --- Control group and definition editor ---
    void openSettings();
    void maxStepsEdited();
    void setAlmostUnlimitedSteps();
    void addDiagonalAnts();
    void addAxisAnts();
    void clearDefinition();
    void loadDefinition();
    void saveDefinition();
    void selectDefinitionFile();

    // --- Visualisation and state panel ---
    void squareSizeChanged();
    void handBrakeChanged();
    void togglePause();
    void displayModeChanged();
    void refreshStateTick();

    // --- Main view and navigation ---
    void paintView();
    void redrawView();
    void panRight();
    void panLeft();
    void panUp();
    void panDown();
    void panUpLeft();
    void panDownLeft();
    void panUpRight();
    void panDownRight();
    void resetMoveX();
    void resetMoveY();
    void centreView();
    void centreOnAnt();
    void previousAnt();
    void nextAnt();

    // --- Eye window ---
    void toggleEye();
    void eyeSizeChanged();
    void eyeZoomChanged();
    void redrawEye();
    void drawCentreToggled();
    void updateAntsInEyeToggled();
    void paintEye();

    // --- Context menu ---
    void saveBmp();
    void changeBackground();
    void changeEyeBackground();

    // --- Worlds (MainFormWorlds.cpp) ---
    void continueRunFromMenu();
    void saveWorldFromMenu();
    void openWorldFromMenu();
    bool canSaveWorld() const;
    bool canContinueRun() const;
    void updateWorldActions();

    // Lines of the "Define" editor as the program counts them: a final line break starts no line.
    std::vector<std::string> editorLines() const;
    void setEditorLines(const std::vector<std::string>& lines);

    // Layout (MainFormLayout.cpp).
    void buildControls();
    void buildControlGroup();
    void buildVisualisationGroup();
    void buildStateGroup();
    void buildDefinitionGroup();
    void buildViewArea();
    void buildNavigationStrip();
    void buildEyeControls();
    void buildPopupMenu();
    void applyFonts();
    void connectHandlers();
    void buildHandCommands();  // pictures, pattern, keys, wheel and drag (MainFormHands.cpp)
    void nameControls();
    void layoutAnchoredControls();
    void layoutDefinitionGroup();
    void layoutEyeControls();
    void setInitialState();

    // First activation steps (MainForm.cpp).
    void applyFirstActivation();

    // Run procedure pieces (MainFormRun.cpp).
    void runFromStart();
    void runWhileActive(const std::vector<std::string>& lines);
    void endOfRun();
    void showRunError(const std::string& text);
    void showUnexpectedRunError();  // inside a catch block
    void endOfRunAfterFailure();
    void showRunStarting();
    void runLoopTimed();
    // The run procedure is on the stack while one lives; every way out releases the guard and
    // honours a pending close.
    class RunProcedure {
    public:
        explicit RunProcedure(MainWindow& form) : form_(form) { form_.runInProgress_ = true; }
        ~RunProcedure() { form_.afterRunProcedure(); }
        RunProcedure(const RunProcedure&) = delete;
        RunProcedure& operator=(const RunProcedure&) = delete;

    private:
        MainWindow& form_;
    };
    void afterRunProcedure();       // the procedure returned: actions, a pending close
    void continueWhileActive();
    void worldDisplayAfterOpen(const qm::LoadedWorld& loaded);

    // --- The settings dialog (MainWindowSettingsHost.cpp) ---
    // The window as the dialog sees it; nested, so that the window's own members (`world`,
    // `stateColours`) keep their plain names.
    class SettingsBridge final : public SettingsHost {
    public:
        explicit SettingsBridge(MainWindow& form) : form_(form) {}
        qm::RunSettings& settings() override;
        qm::World& world() override;
        void releaseRunStructures() override;
        void setGeneralizedUi(bool generalized, int states) override;
        void setPeakLabel(const QString& caption, const QString& hint) override;
        void reselectPainters() override;
        void applyHandBrake() override;
        qm::StateColourTable& stateColours() override;
        qm::ColourRef viewBackground() override;
        void setHalfSizes(const std::array<int32_t, qm::MemoryChoiceCount>& halfSizes) override;
        bool continuePossible() override;
        bool runActive() override;
        bool stateNumbersDisabled() override;
        QTimer* stateTimer() override;
        void setSettingsView(SettingsView* view) override;

    private:
        MainWindow& form_;
    };
    SettingsBridge settingsHost_;
    NoSettingsView noSettingsView_;
    SettingsView* settingsView_ = &noSettingsView_;  // the dialog while it lives
    qm::LabelClick pauseLinkClick_;  // "stop ^" / "««« GO"
    bool runInProgress_ = false;   // the run procedure is on the stack
    bool closePending_ = false;    // a close arrived during a run; honoured once the run returns

    // --- Animation recording ("Record animation...", MainWindowCommands.cpp) ---
    qm::RunPausePoints runPausePoints_;  // the run's loop pauses at a recording's exact steps
    QAction* recordAnimationAction_ = nullptr;
    std::unique_ptr<RecordingCommands> recordingCommands_;  // last: gone before what it observes
    // --- Timeline: "Growth", "Step", "Step back", "Go to step..." (MainWindowCommands.cpp) ---
    std::unique_ptr<qmgui::TimelineCommands> timelineCommands;
    int64_t stepTarget_ = -1;  // where a live "Step" stops, "Max steps:" aside (-1: no step)
    void buildTimelineCommands();
    void showJumpedWorld();
    void continueToStep(int64_t steps);
};

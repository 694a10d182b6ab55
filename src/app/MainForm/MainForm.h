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

#include "app/PresentingMessages.h"
#include "app/QtEventPump.h"
#include "core/World.h"
#include "settings/AboutBoxUnit/MemoryBudget.h"
#include "settings/AboutBoxUnit/SettingsHost.h"
#include "view/Colours.h"
#include "view/LabelClick.h"

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
class StatePanel;
class TAboutBox;
class ViewGestures;
class StartClickGuard;
class TForm1;

namespace qm {
class ImageSurface;
class LoadedWorld;
}

// What a file dialog of the window design remembers between uses.
struct FileDialogSpec {
    QString filter;         // "Description (*.ext)|*.ext|..."
    QString defaultSuffix;  // appended to a name typed without extension (save dialogs)
    QString lastDir;
};

inline constexpr const char* TextFileFilter =
    "Textové soubory (*.txt)|*.txt|Všechny soubory (*.*)|*.*";
inline constexpr const char* BitmapFileFilter =
    "Bitmaps (*.bmp)|*.bmp|PNG pictures (*.png)|*.png|All files (*.*)|*.*";
inline constexpr const char* WorldFileFilter = "Worlds (*.qmw)|*.qmw|All files (*.*)|*.*";
inline constexpr const char* MsgFatalBitmapMemory =
    "FATAL ERROR: not enought memory. Close aplication or ??????.";
inline constexpr const char* MsgNotPossibleOn9x = "Is not possible for Windows 95,98,ME";
inline constexpr const char* StartCaption = "Start";
inline constexpr const char* BreakCaption = "Break";

// The settings dialog's view of the main window. Kept apart from TForm1 so that the window's
// own members (`world`, `stateColours`) keep their plain names.
class MainFormSettingsHost final : public SettingsHost {
public:
    explicit MainFormSettingsHost(TForm1& form) : form_(form) {}
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
    void settingsDialogGone() override;

private:
    TForm1& form_;
};

class TForm1 : public QWidget {
    Q_OBJECT
public:
    static constexpr int InitialClientWidth = 757;
    static constexpr int InitialClientHeight = 553;
    static constexpr int MinimumClientWidth = 642;
    static constexpr int MinimumClientHeight = 393;
    static constexpr int LeftColumnWidth = 161;
    static constexpr int BottomStripHeight = 112;

    explicit TForm1(Dialogs& dialogs, QWidget* parent = nullptr);
    ~TForm1() override;

    // The settings dialog is created after the main window (it needs the host) and lives as long.
    void setAboutBox(TAboutBox* box) { aboutBox = box; }
    // The program's settings dialog: a dialog of this window, centred over it and without a
    // task-bar entry of its own. It is to be destroyed before the window; it lets go of itself.
    std::unique_ptr<TAboutBox> createAboutBox();
    SettingsHost& settingsHost() { return settingsHost_; }

    // --- State owned by the window ---
    qm::World world;
    qm::StateColourTable stateColours{};
    qm::ColourRef viewBackground = qm::DefaultViewBackground;
    std::array<int32_t, qm::MemoryChoiceCount> halfSizes{};
    Dialogs* dialogs;
    TAboutBox* aboutBox = nullptr;
    QtEventPump pump;
    PresentingMessages runMessages{world, *dialogs, pump};  // the world's message sink
    bool continuePossible = false;   // a run may go on beyond the fast grid on this system
    bool windows9xFamily = false;    // the old consumer family: no "continue compute"
    bool firstActivation = false;
    FileDialogSpec OpenDialog1{TextFileFilter, QString(), QString()};
    FileDialogSpec SaveDialog1{TextFileFilter, QStringLiteral("txt"), QString()};
    FileDialogSpec SaveDialog2{BitmapFileFilter, QStringLiteral("bmp"), QString()};
    FileDialogSpec WorldDialog{WorldFileFilter, QStringLiteral("qmw"), QString()};
    std::string runDefinitionText;  // the definition the last run started from
    QColor ColorDialog1{Qt::black};  // the colour last chosen in the colour dialog

    // --- Controls, named as in the window design ---
    QWidget* Panel1;
    QGroupBox* GroupBox1;  // " Control "
    QGroupBox* GroupBox4;  // " Visualisation "
    QGroupBox* GroupBox2;  // " State "
    QGroupBox* GroupBox3;  // " Definition "

    QPushButton* Button1;
    QPushButton* Button6;
    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* Button9;

    QLabel* Label11;
    QComboBox* ComboBoxSize;
    QLabel* Label10;
    QSlider* TrackBarSpeed;
    QLabel* Label19;

    QLabel* Label13;
    QLabel* Label2;
    QLabel* Label20;
    QLabel* Label21;
    QLabel* StaticTextMinX;
    QLabel* StaticTextMinY;
    QLabel* StaticTextMaxX;
    QLabel* StaticTextMaxY;
    QLabel* Label4;
    QLabel* StaticTextCNTDB;
    QLabel* Label9;
    QLabel* StaticTextMaxCNTDB;
    QLabel* Label5;
    QLabel* StaticTextStep;
    QLabel* Label6;
    QLabel* StaticTextTime;
    QLabel* Label24;
    QLabel* STAntsCnt;
    QLabel* LabelAll;
    QLabel* StaticAll;
    QComboBox* CBShow;

    QLabel* Label12;
    QTabWidget* PageControl1;
    QWidget* TabSheet1;  // "Define"
    QWidget* TabSheet2;  // "From file"
    QPlainTextEdit* Memo1;
    QPushButton* Button3;
    QPushButton* Button8;
    QPushButton* Button4;
    QPushButton* Button2;
    QPushButton* Button5;
    QLineEdit* Edit2;
    QLabel* Label16;
    QLineEdit* EditFile;
    QPushButton* Button10;
    QCheckBox* CheckBox1;
    QLabel* Label14;
    QLabel* Label17;
    QLabel* Label18;
    QLabel* Label22;

    QWidget* Panel4;
    qm::ImageSurface* PaintBox1;
    QWidget* Panel5;
    QToolButton* SpeedButton8;
    QToolButton* SpeedButton3;
    QToolButton* SpeedButton10;
    QToolButton* SpeedButton2;
    QLineEdit* EditMove;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton9;
    QToolButton* SpeedButton4;
    QToolButton* SpeedButton11;
    QToolButton* SpeedButton7;
    QLabel* Label25;
    QLabel* LabelMX;
    QToolButton* SpeedButton5;
    QLabel* Label26;
    QLabel* LabelMY;
    QToolButton* SpeedButton6;
    QPushButton* Button11;
    QLineEdit* AntNum;
    QPushButton* Button12;
    QPushButton* Button13;
    QPushButton* Button14;
    QPushButton* Button7;
    QComboBox* CFlaconSize;

    QFrame* PanelMEye;
    QSlider* EyeTrackBar1;
    QSlider* EyeTrackBar2;
    QSlider* EyeTrackBar3;
    QLabel* LabelEyeZoom;
    QCheckBox* CheckBox2;
    QCheckBox* CheckBox3;
    QCheckBox* CheckBox4;
    QPushButton* Redraw;
    QLabel* PanelRun;
    QFrame* PanelFalconEye;
    qm::ImageSurface* PaintBoxEye;

    QMenu* PopupMenu2;
    QAction* SavetoBMP1;
    QAction* Changebackgroundcolor1;
    QAction* Changeeyebackgroundcolor1;
    QAction* SaveWholePicture1;  // "Save whole picture..."
    QAction* SavePattern1;       // "Save pattern (RLE)..."
    QAction* StartKey;           // keys of buttons, also offered in the context menu
    QAction* RedrawKey;
    QAction* EyeKey;
    QAction* ContinueRun1;
    QAction* SaveWorld1;
    QAction* OpenWorld1;
    QTimer* Timer1;

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
    void FormCreate();
    void FormActivate();
    void FormResize();
    bool FormCloseQuery();

    // --- Run ---
    void Button1Click();
    bool runInProgress() const { return runInProgress_; }
    double lastLoopSeconds = 0.0;  // time of the last run's step loop alone (for the benchmark)
    // Locks (or frees) the controls of both windows that could replace what a run uses.
    void setRunLock(bool locked);

    // --- Control group and definition editor ---
    void Button6Click();
    void Edit1Change();
    void Button9Click();
    void Button2Click();
    void Button5Click();
    void Button8Click();
    void Button3Click();
    void Button4Click();
    void Button10Click();

    // --- Visualisation and state panel ---
    void ComboBoxSizeChange();
    void TrackBarSpeedChange();
    void Label19Click();
    void CBShowChange();
    void Timer1Timer();

    // --- Main view and navigation ---
    void PaintBox1Paint();
    void Button14Click();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton8Click();
    void SpeedButton9Click();
    void SpeedButton10Click();
    void SpeedButton11Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton7Click();
    void Button11Click();
    void Button12Click();
    void Button13Click();

    // --- Eye window ---
    void Button7Click();
    void CFlaconSizeChange();
    void EyeTrackBar3Change();
    void RedrawClick();
    void CheckBox2Click();
    void CheckBox3Click();
    void PaintBoxEyePaint();

    // --- Context menu ---
    void SavetoBMP1Click();
    void Changebackgroundcolor1Click();
    void Changeeyebackgroundcolor1Click();

    // --- Worlds (MainFormWorlds.cpp) ---
    void ContinueRun1Click();
    void SaveWorld1Click();
    void OpenWorld1Click();
    // Opens a world file into the window; false, after the message, when it is refused.
    bool openWorldFile(const QString& fileName);
    // "quillmarch FILE": a world file is opened, any other file loaded into the editor.
    void openFromCommandLine(const QString& fileName);
    bool canSaveWorld() const;
    bool canContinueRun() const;
    void updateWorldActions();

    // Lines of the "Define" editor as the program counts them: a final line break starts no line.
    std::vector<std::string> editorLines() const;
    void setEditorLines(const std::vector<std::string>& lines);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
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
        explicit RunProcedure(TForm1& form) : form_(form) { form_.runInProgress_ = true; }
        ~RunProcedure() { form_.afterRunProcedure(); }
        RunProcedure(const RunProcedure&) = delete;
        RunProcedure& operator=(const RunProcedure&) = delete;

    private:
        TForm1& form_;
    };
    void afterRunProcedure();       // the procedure returned: actions, a pending close
    void continueWhileActive();
    void worldDisplayAfterOpen(const qm::LoadedWorld& loaded);

    MainFormSettingsHost settingsHost_;
    qm::LabelClick pauseLinkClick_;  // "stop ^" / "««« GO"
    bool runInProgress_ = false;   // the run procedure is on the stack
    bool closePending_ = false;    // a close arrived during a run; honoured once the run returns
};

#pragma once
// The main window's widgets, one group per panel as the window shows them. Each widget's object
// name is its member name.

#include <QtGlobal>

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
class QWidget;

namespace qm {
class ImageSurface;
}

// " Control ": starting and stopping a run.
struct ControlWidgets {
    QWidget* leftColumn = nullptr;
    QGroupBox* controlGroup = nullptr;  // " Control "
    QPushButton* startButton = nullptr;
    QPushButton* settingsButton = nullptr;
    QLabel* maxStepsLabel = nullptr;
    QLineEdit* maxStepsEdit = nullptr;
    QPushButton* almostUnlimitedButton = nullptr;
};

// " Visualisation ": square size and hand brake.
struct VisualisationWidgets {
    QGroupBox* visualisationGroup = nullptr;  // " Visualisation "
    QLabel* squareSizeLabel = nullptr;
    QComboBox* squareSizeCombo = nullptr;
    QLabel* handBrakeLabel = nullptr;
    QSlider* handBrakeSlider = nullptr;
    QLabel* pauseLink = nullptr;
};

// " State ": the counters of the run and what is shown while it runs.
struct StateWidgets {
    QGroupBox* stateGroup = nullptr;  // " State "
    QLabel* minLabel = nullptr;
    QLabel* maxLabel = nullptr;
    QLabel* xHeading = nullptr;
    QLabel* yHeading = nullptr;
    QLabel* minXValue = nullptr;
    QLabel* minYValue = nullptr;
    QLabel* maxXValue = nullptr;
    QLabel* maxYValue = nullptr;
    QLabel* filledLabel = nullptr;
    QLabel* filledValue = nullptr;
    QLabel* peakFilledLabel = nullptr;
    QLabel* peakFilledValue = nullptr;
    QLabel* stepLabel = nullptr;
    QLabel* stepValue = nullptr;
    QLabel* computingTimeLabel = nullptr;
    QLabel* computingTimeValue = nullptr;
    QLabel* antsCountLabel = nullptr;
    QLabel* antsCountValue = nullptr;
    QLabel* allStepsLabel = nullptr;
    QLabel* allStepsValue = nullptr;
    QComboBox* displayModeCombo = nullptr;
    QTimer* stateRefreshTimer = nullptr;
};

// " Definition ": the ants of the next run, typed or from a file.
struct DefinitionWidgets {
    QGroupBox* definitionGroup = nullptr;  // " Definition "
    QLabel* definitionLegend = nullptr;
    QTabWidget* definitionTabs = nullptr;
    QWidget* defineTab = nullptr;  // "Define"
    QWidget* fromFileTab = nullptr;  // "From file"
    QPlainTextEdit* definitionEditor = nullptr;
    QPushButton* loadButton = nullptr;
    QPushButton* clearButton = nullptr;
    QPushButton* saveButton = nullptr;
    QPushButton* addDiagonalButton = nullptr;
    QPushButton* addByAxisButton = nullptr;
    QLineEdit* addDistanceEdit = nullptr;
    QLabel* selectedFileLabel = nullptr;
    QLineEdit* selectedFileEdit = nullptr;
    QPushButton* selectFileButton = nullptr;
    QCheckBox* firstSixteenCheck = nullptr;
    QLabel* directionLabel = nullptr;
    QLabel* directionNumbersLegend = nullptr;
    QLabel* directionLettersLegend = nullptr;
    QLabel* directionCornersLegend = nullptr;
};

// The main view and its context menu.
struct ViewWidgets {
    QWidget* viewArea = nullptr;
    qm::ImageSurface* viewSurface = nullptr;
    QMenu* viewMenu = nullptr;
    QAction* saveBmpAction = nullptr;
    QAction* changeBackgroundAction = nullptr;
    QAction* changeEyeBackgroundAction = nullptr;
    QAction* saveWholePictureAction = nullptr;  // "Save whole picture..."
    QAction* savePatternAction = nullptr;       // "Save pattern (RLE)..."
    QAction* startKeyAction = nullptr;           // keys of buttons, also offered in the context menu
    QAction* redrawKeyAction = nullptr;
    QAction* eyeKeyAction = nullptr;
    QAction* continueRunAction = nullptr;
    QAction* saveWorldAction = nullptr;
    QAction* openWorldAction = nullptr;
};

// The strip below the view: panning, centring, redraw and the eye switch.
struct NavigationWidgets {
    QWidget* navigationStrip = nullptr;
    QToolButton* panUpLeftButton = nullptr;
    QToolButton* panUpButton = nullptr;
    QToolButton* panUpRightButton = nullptr;
    QToolButton* panLeftButton = nullptr;
    QLineEdit* moveStepEdit = nullptr;
    QToolButton* panRightButton = nullptr;
    QToolButton* panDownLeftButton = nullptr;
    QToolButton* panDownButton = nullptr;
    QToolButton* panDownRightButton = nullptr;
    QToolButton* centreButton = nullptr;
    QLabel* moveXLabel = nullptr;
    QLabel* moveXValue = nullptr;
    QToolButton* resetMoveXButton = nullptr;
    QLabel* moveYLabel = nullptr;
    QLabel* moveYValue = nullptr;
    QToolButton* resetMoveYButton = nullptr;
    QPushButton* centreOnAntButton = nullptr;
    QLineEdit* antNumberEdit = nullptr;
    QPushButton* previousAntButton = nullptr;
    QPushButton* nextAntButton = nullptr;
    QPushButton* redrawViewButton = nullptr;
    QPushButton* eyeShowHideButton = nullptr;
    QComboBox* eyeSizeCombo = nullptr;
};

// The eye: its controls and its surface.
struct EyeWidgets {
    QFrame* eyeControls = nullptr;
    QSlider* eyeZoomCoarseSlider = nullptr;
    QSlider* eyeZoomMediumSlider = nullptr;
    QSlider* eyeZoomFineSlider = nullptr;
    QLabel* eyeZoomLabel = nullptr;
    QCheckBox* drawCentreCheck = nullptr;
    QCheckBox* updateAntsInEyeCheck = nullptr;
    QCheckBox* updateWhiteInEyeCheck = nullptr;
    QPushButton* redrawEyeButton = nullptr;
    QLabel* eyeChangedLabel = nullptr;
    QFrame* eyeFrame = nullptr;
    qm::ImageSurface* eyeSurface = nullptr;
};

struct MainWindowWidgets {
    ControlWidgets control;
    VisualisationWidgets visualisation;
    StateWidgets state;
    DefinitionWidgets definition;
    ViewWidgets view;
    NavigationWidgets navigation;
    EyeWidgets eye;
};

// Recording pieces of the window: the recorder fed view frames or the world, read back with
// giflib's own reader, its count and its failure message; the dialog's options value; and
// "Record animation..." in the window, its frames against the view and its ways to stop.

#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include "../core/GifFrames.h"
#include "MainWindowFixture.h"
#include "core/RunSetup.h"
#include "gui/recording/AnimationRecorder.h"
#include "gui/recording/RecordAnimationDialog.h"
#include "gui/recording/RecordingCommands.h"
#include "gui/view/ImageSurface.h"
#include "gui/view/StatePanel.h"
#include "display/Colours.h"

namespace {

constexpr qm::ColourRef Background = 0xDFEFEF;
const qm::ColourRef AntColours[] = {0x0000FF, 0x00FF00, 0x804020};

// Three indexed ants of their own colours, not yet run.
void setUpAnts(qm::World& w) {
    ASSERT_TRUE(qm::allocateIndexedAntArrays(w, 255));
    w.counters.antCount = 3;
    for (int i = 0; i < 3; ++i) w.antColour[i] = qm::makeColourWord(AntColours[i], qm::DirXPlus);
}

// A view picture: background with a block of each ant colour at a place that moves with `t`.
QImage viewAt(int t, int width = 40, int height = 30) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qm::toArgb(Background));
    for (int i = 0; i < 3; ++i)
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x)
                image.setPixel((3 * t + 7 * i + x) % width, (2 * t + 9 * i + y) % height, qm::toArgb(AntColours[i]));
    return image;
}

std::vector<uint32_t> coloursOf(const QImage& image) {
    std::vector<uint32_t> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            colours.push_back(qm::rgb(qRed(p), qGreen(p), qBlue(p)));
        }
    return colours;
}

}  // namespace

TEST(AnimationRecorder, ViewFramesDecodeToTheViewAsShownAndAResizedViewKeepsTheFirstSize) {
    QTemporaryDir dir;
    qm::World w;
    setUpAnts(w);
    const qm::PicturePalette palette{Background, nullptr};
    qm::RecordingOptions options;
    options.fileName = dir.filePath(QStringLiteral("view.gif")).toStdString();
    options.delayMs = 30;
    AnimationRecorder recorder(options);
    std::vector<std::vector<uint32_t>> expected;
    for (int t = 0; t < 8; ++t) {
        const QImage shown = t < 6 ? viewAt(t) : viewAt(t, 50, 20).convertToFormat(QImage::Format_RGB888);
        ASSERT_EQ(recorder.addFrame(shown, w, palette), qm::GifError::None);
        QImage kept(40, 30, QImage::Format_RGB32);
        kept.fill(qm::toArgb(Background));
        for (int y = 0; y < std::min(30, shown.height()); ++y)
            for (int x = 0; x < std::min(40, shown.width()); ++x) kept.setPixel(x, y, shown.pixel(x, y));
        expected.push_back(coloursOf(kept));
    }
    EXPECT_EQ(recorder.frameCount(), 8);
    EXPECT_EQ(recorder.statusText(), QStringLiteral("Recording: 8 frames"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("view.gif")))) << "named only when finished";
    ASSERT_EQ(recorder.finish(), qm::GifError::None);
    const qmtest::DecodedGif gif = qmtest::decodeGif(options.fileName);
    ASSERT_TRUE(gif.ok);
    EXPECT_EQ(gif.frames, expected);
    EXPECT_EQ(gif.delaysCs.front(), 3);
    EXPECT_EQ(recorder.nextFrameStep(0), 1000);
    EXPECT_EQ(recorder.nextFrameStep(2999), 3000);
    EXPECT_EQ(recorder.nextFrameStep(3000), 4000);
}

TEST(AnimationRecorder, AFailureOrAStopBeforeAnyFrameLeavesNoFileAndAMessageNamingIt) {
    QTemporaryDir dir;
    qm::World w;
    setUpAnts(w);
    qm::RecordingOptions options;
    options.fileName = dir.filePath(QStringLiteral("missing/area.gif")).toStdString();
    options.picture = qm::RecordedPicture::WholeArea;
    AnimationRecorder lost(options);
    EXPECT_EQ(lost.addFrame(QImage(), w, {Background, nullptr}), qm::GifError::CannotCreate);
    EXPECT_EQ(lost.addFrame(QImage(), w, {Background, nullptr}), qm::GifError::CannotCreate) << "stopped for good";
    EXPECT_EQ(lost.errorMessage(),
              "The animation could not be written to " + options.fileName + " (the file cannot be created)");

    options.fileName = dir.filePath(QStringLiteral("never.gif")).toStdString();
    AnimationRecorder empty(options);
    EXPECT_EQ(empty.finish(), qm::GifError::NotStarted);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("never.gif"))));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(RecordAnimationDialog, ReturnsWhatItsFieldsHoldAndRecordsOnlyWithAFileName) {
    qm::RecordingOptions initial;
    initial.taking = qm::FrameTaking::EveryNSteps;
    initial.everySteps = 250;
    initial.picture = qm::RecordedPicture::WholeArea;
    initial.delayMs = 80;
    QString asked;
    RecordAnimationDialog dialog(initial, [&](const QString& current) -> std::optional<QString> {
        asked = current;
        return QStringLiteral("/tmp/run");
    });
    EXPECT_FALSE(dialog.recordButton()->isEnabled()) << "no file yet";
    EXPECT_TRUE(dialog.stepsBox()->isEnabled());
    qm::RecordingOptions o = dialog.options();
    EXPECT_EQ(o.taking, qm::FrameTaking::EveryNSteps);
    EXPECT_EQ(o.everySteps, 250);
    EXPECT_EQ(o.picture, qm::RecordedPicture::WholeArea);
    EXPECT_EQ(o.delayMs, 80);

    dialog.fileEdit()->setText(QStringLiteral("/tmp/run"));
    dialog.everyDisplayedButton()->setChecked(true);
    dialog.viewButton()->setChecked(true);
    dialog.delayBox()->setValue(120);
    EXPECT_TRUE(dialog.recordButton()->isEnabled());
    EXPECT_FALSE(dialog.stepsBox()->isEnabled());
    o = dialog.options();
    EXPECT_EQ(o.fileName, "/tmp/run.gif");
    EXPECT_EQ(o.taking, qm::FrameTaking::EveryDisplayedFrame);
    EXPECT_EQ(o.picture, qm::RecordedPicture::MainView);
    EXPECT_EQ(o.delayMs, 120);
}

// A view frame drawn at another pixel ratio than the first (the BMP export draws the view at 1 on
// a high-density screen) is enlarged to the first frame's size, not laid into its corner.
TEST(AnimationRecorder, FrameAtAnotherPixelRatioKeepsItsSizeInWidgetPixels) {
    QTemporaryDir dir;
    qm::World w;
    setUpAnts(w);
    const qm::PicturePalette palette{Background, nullptr};
    qm::RecordingOptions options;
    options.fileName = dir.filePath(QStringLiteral("dense.gif")).toStdString();
    AnimationRecorder recorder(options);
    QImage dense = viewAt(0, 40, 30).scaled(80, 60);
    dense.setDevicePixelRatio(2);
    const QImage plain = viewAt(3, 40, 30);
    ASSERT_EQ(recorder.addFrame(dense, w, palette), qm::GifError::None);
    ASSERT_EQ(recorder.addFrame(plain, w, palette), qm::GifError::None);
    ASSERT_EQ(recorder.finish(), qm::GifError::None);
    const qmtest::DecodedGif gif = qmtest::decodeGif(options.fileName);
    ASSERT_TRUE(gif.ok);
    ASSERT_EQ(gif.frames.size(), 2u);
    EXPECT_EQ(gif.width, 80);
    EXPECT_TRUE(gif.frames[1] == coloursOf(plain.scaled(80, 60)));
}

namespace {

class RecordingWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        openWindow();
        // No figures drawn over the view: every pixel is in the run's colours.
        ui().state.displayModeCombo->setCurrentIndex(StatePanel::TextOnly);
        setEditor("0,0,1\n6,4,2\n-5,-3,3");
    }
    std::string file(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }
    // The command, answered in its dialog with these choices.
    void record(const std::string& fileName, int64_t everySteps = 0) {
        dialogs.onModal = [=](QDialog& box) {
            auto& dialog = dynamic_cast<RecordAnimationDialog&>(box);
            dialog.fileEdit()->setText(QString::fromStdString(fileName));
            (everySteps > 0 ? dialog.everyStepsButton() : dialog.everyDisplayedButton())->setChecked(true);
            if (everySteps > 0) dialog.stepsBox()->setValue(int(everySteps));
            dialog.viewButton()->setChecked(true);
            dialog.accept();
        };
        peer().recordAnimationAction()->trigger();
        dialogs.onModal = nullptr;
    }
    std::vector<uint32_t> shownView() const { return coloursOf(ui().view.viewSurface->image()); }
    bool recording() const { return peer().recordingCommands().recording(); }

    QTemporaryDir dir;
};

}  // namespace

TEST_F(RecordingWindowTest, EveryDisplayedFrameIsTheViewAsShownAndTheEndOfTheRunEndsTheFile) {
    const std::string name = file("shown.gif");
    record(name);
    ASSERT_TRUE(recording());
    EXPECT_EQ(peer().recordAnimationAction()->text(), StopRecordingCaption);
    EXPECT_TRUE(dialogs.saveDialogs.empty()) << "the name was typed";
    // Seen after the recording's own observer, so at the same frames.
    std::vector<std::vector<uint32_t>> shown;
    int64_t lastShownStep = -1;
    QString captionWhileRecording;
    peer().frameObservers().add([&] {
        if (!recording()) return;  // the repaint after the run
        shown.push_back(shownView());
        lastShownStep = peer().world().counters.stepCount;
        captionWhileRecording = form->windowTitle();
    });
    ui().visualisation.handBrakeSlider->setValue(1);  // every step presented
    setMaxSteps(40);
    clickStart();
    ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes.front().text;
    EXPECT_FALSE(recording()) << "the run ended by \"Max steps:\"";
    EXPECT_EQ(form->windowTitle(), "Quillmarch");
    EXPECT_EQ(peer().recordAnimationAction()->text(), RecordAnimationCaption);
    ASSERT_GE(shown.size(), 3u);
    EXPECT_TRUE(captionWhileRecording.startsWith(QStringLiteral("Quillmarch - Recording: "))) << captionWhileRecording.toStdString();
    if (lastShownStep != 40) shown.push_back(shownView());  // the final picture closes the file

    const qmtest::DecodedGif gif = qmtest::decodeGif(name);
    ASSERT_TRUE(gif.ok);
    EXPECT_EQ(gif.width, ui().view.viewSurface->image().width());
    ASSERT_EQ(gif.frames.size(), shown.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        EXPECT_TRUE(gif.frames[i] == shown[i]) << "frame " << i;
    }
}

TEST_F(RecordingWindowTest, EveryNStepsTakesTheViewAtExactlyThoseSteps) {
    const std::string name = file("steps.gif");
    record(name, 400);
    setMaxSteps(1500);
    clickStart();
    EXPECT_FALSE(recording());
    ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes.front().text;
    const qmtest::DecodedGif gif = qmtest::decodeGif(name);
    ASSERT_TRUE(gif.ok);
    ASSERT_EQ(gif.frames.size(), 4u) << "400, 800, 1200 and the end";

    // The same run stopped by "Max steps:" at each of those steps shows what the frame holds.
    const int64_t steps[] = {400, 800, 1200, 1500};
    for (size_t i = 0; i < 4; ++i) {
        setMaxSteps(steps[i]);
        clickStart();
        EXPECT_TRUE(gif.frames[i] == shownView()) << "frame at step " << steps[i];
    }
}

TEST_F(RecordingWindowTest, BreakAndContinueKeepRecordingTheCommandStopsItAndAWriteFailureStopsItWithItsMessage) {
    const std::string name = file("stopped.gif");
    record(name);
    ui().visualisation.handBrakeSlider->setValue(1);
    setMaxSteps(100000000);
    int frames = 0;
    peer().frameObservers().add([&] {
        if (++frames % 5 == 0) clickStart();  // "Break"
    });
    clickStart();
    ASSERT_TRUE(recording()) << "a break keeps the recording";
    EXPECT_FALSE(QFile::exists(QString::fromStdString(name))) << "named only when finished";
    ui().view.continueRunAction->trigger();
    ASSERT_GE(frames, 10);
    ASSERT_TRUE(recording());
    peer().recordAnimationAction()->trigger();
    EXPECT_FALSE(recording());
    EXPECT_EQ(peer().recordAnimationAction()->text(), RecordAnimationCaption);
    const qmtest::DecodedGif gif = qmtest::decodeGif(name);
    ASSERT_TRUE(gif.ok);
    EXPECT_GE(gif.frames.size(), 10u);
    EXPECT_TRUE(gif.frames.back() == shownView());
    EXPECT_TRUE(dialogs.boxes.empty());

    peer().frameObservers() = FrameObservers();
    ui().visualisation.handBrakeSlider->setValue(0);
    const std::string lost = file("missing/lost.gif");
    record(lost);
    setMaxSteps(2000);
    clickStart();
    ASSERT_EQ(dialogs.boxes.size(), 1u) << "one message, then the run goes on without recording";
    EXPECT_EQ(dialogs.boxes[0].text, "The animation could not be written to " + lost + " (the file cannot be created)");
    EXPECT_FALSE(recording());
    EXPECT_EQ(peer().world().counters.stepCount, 2000);
    EXPECT_EQ(form->windowTitle(), "Quillmarch");
}

// Recording pieces of the window: the recorder fed view frames or the world, read back with
// giflib's own reader, its count and its failure message; the dialog's options value.

#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include "../core/GifFrames.h"
#include "core/RunSetup.h"
#include "gui/recording/AnimationRecorder.h"
#include "gui/recording/RecordAnimationDialog.h"
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

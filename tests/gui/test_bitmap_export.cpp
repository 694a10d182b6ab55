// The context menu's commands: the BMP export read back byte by byte, the memory reserve
// around it, every failure with its box, and the two background colour commands.

#include <cstdlib>
#include <vector>

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QFrame>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

#include "MainWindowFixture.h"
#include "ViewTestSupport.h"
#include "core/PaintedArea.h"
#include "gui/view/PicturePng.h"
#include "gui/view/BitmapExport.h"
#include "gui/view/BmpWriter.h"
#include "display/Colours.h"
#include "gui/view/EyeWindow.h"
#include "gui/view/ImageSurface.h"

namespace {

// malloc and free, with a record of what was asked and released; refuses on request.
class RecordingAllocator final : public qm::Allocator {
public:
    void* allocate(std::size_t bytes) override {
        allocations.push_back(bytes);
        if (refuse && refuse(bytes)) return nullptr;
        return std::malloc(bytes == 0 ? 1 : bytes);
    }
    void* reallocate(void* block, std::size_t bytes) override { return std::realloc(block, bytes == 0 ? 1 : bytes); }
    void release(void* block) override {
        released.push_back(block);
        std::free(block);
    }
    int allocationsOf(std::size_t bytes) const {
        int count = 0;
        for (std::size_t a : allocations) count += a == bytes;
        return count;
    }

    std::vector<std::size_t> allocations;
    std::vector<void*> released;
    std::function<bool(std::size_t)> refuse;
};

// A BMP file as written, with little-endian field readers.
struct BmpFile {
    explicit BmpFile(const QString& path) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
    }
    uint32_t u32(int at) const {
        return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 |
               uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24;
    }
    uint16_t u16(int at) const { return uint16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8); }
    int32_t width() const { return int32_t(u32(18)); }
    int32_t height() const { return int32_t(u32(22)); }
    int rowBytes() const { return (width() * 3 + 3) / 4 * 4; }
    // The pixel (x, y) counted from the top, as 0xFFRRGGBB.
    QRgb pixel(int x, int y) const {
        const int at = 54 + (height() - 1 - y) * rowBytes() + 3 * x;
        return qRgb(uint8_t(bytes[at + 2]), uint8_t(bytes[at + 1]), uint8_t(bytes[at]));
    }
    QByteArray bytes;
};

}  // namespace

class BitmapExportTest : public MainWindowTest {
protected:
    void exportTo(const QString& path) {
        dialogs.saveAnswers.push_back(path);
        ui().view.saveBmpAction->trigger();
    }
    void cancelExport() { ui().view.saveBmpAction->trigger(); }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void runSteps(int64_t steps) {
        setEditor("0,0,1\n6,4,2\n-5,-3,3");
        setMaxSteps(steps);
        clickStart();
        ASSERT_TRUE(dialogs.boxes.empty());
    }
    void expectOnlyBox(const std::string& text, qm::BoxType type) {
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].text, text);
        EXPECT_EQ(dialogs.boxes[0].type, type);
        EXPECT_EQ(dialogs.boxes[0].buttons, qm::BoxButtons::Ok);
    }

    void installAllocatorRecorder() { qm::setAllocator(&recorder); }

    QTemporaryDir dir;
    RecordingAllocator recorder;
};

// ------------------------------------------------------------------------------------------
// The file

TEST_F(BitmapExportTest, FileIsAnUncompressed24BitBmpOfTheMainView) {
    openWindow();
    form->resize(758, 553);  // a view 597 wide: rows of 1791 bytes padded to 1792
    QCoreApplication::processEvents();
    ASSERT_EQ(ui().view.viewSurface->size(), QSize(597, 441));
    runSteps(3000);

    exportTo(path("view.bmp"));

    EXPECT_TRUE(dialogs.boxes.empty());
    ASSERT_EQ(dialogs.saveDialogs.size(), 1u);
    EXPECT_EQ(dialogs.saveDialogs[0].filter, "Bitmaps (*.bmp)|*.bmp|PNG pictures (*.png)|*.png|All files (*.*)|*.*");
    EXPECT_EQ(dialogs.saveDialogs[0].defaultSuffix, "bmp");

    const BmpFile bmp(path("view.bmp"));
    ASSERT_EQ(bmp.bytes.size(), 54 + 1792 * 441);
    EXPECT_EQ(bmp.bytes.left(2), "BM");
    EXPECT_EQ(bmp.u32(2), uint32_t(bmp.bytes.size()));
    EXPECT_EQ(bmp.u32(10), 54u);  // pixels follow the two headers
    EXPECT_EQ(bmp.u32(14), 40u);
    EXPECT_EQ(bmp.width(), 597);
    EXPECT_EQ(bmp.height(), 441);  // positive: bottom-up rows
    EXPECT_EQ(bmp.u16(26), 1);
    EXPECT_EQ(bmp.u16(28), 24);
    EXPECT_EQ(bmp.u32(30), 0u);  // no compression
    EXPECT_EQ(bmp.u32(34), 1792u * 441u);

    const QImage& view = ui().view.viewSurface->image();
    int squares = 0;
    for (int y = 0; y < 441; ++y) {
        for (int x = 0; x < 597; ++x) {
            ASSERT_EQ(bmp.pixel(x, y), view.pixel(x, y)) << x << "," << y;
            squares += view.pixel(x, y) != qm::toArgb(peer().viewBackground());
        }
        EXPECT_EQ(bmp.bytes[54 + y * 1792 + 1791], 0) << "padding of row " << y;
    }
    EXPECT_GT(squares, 100) << "the run's squares are in the picture";
}

TEST_F(BitmapExportTest, EyeWindowIsLaidOverTheViewWhereItShows) {
    openWindow();
    runSteps(2000);
    QTest::mouseClick(ui().navigation.eyeShowHideButton, Qt::LeftButton);
    QCoreApplication::processEvents();

    exportTo(path("eye.bmp"));

    EXPECT_TRUE(dialogs.boxes.empty());
    const BmpFile bmp(path("eye.bmp"));
    ASSERT_EQ(bmp.width(), 596);
    ASSERT_EQ(bmp.height(), 441);
    const QRect eyeArea = ui().eye.eyeFrame->geometry().translated(-ui().view.viewSurface->pos());
    ASSERT_EQ(eyeArea, QRect(486, 331, 110, 110));
    const QImage& view = ui().view.viewSurface->image();
    const QImage& eye = ui().eye.eyeSurface->image();
    int eyeDiffers = 0;
    for (int y = 0; y < 441; ++y)
        for (int x = 0; x < 596; ++x) {
            if (eyeArea.contains(x, y)) {
                const QRgb shown = eye.pixel(x - eyeArea.x(), y - eyeArea.y());
                ASSERT_EQ(bmp.pixel(x, y), shown) << x << "," << y;
                eyeDiffers += shown != view.pixel(x, y);
            } else {
                ASSERT_EQ(bmp.pixel(x, y), view.pixel(x, y)) << x << "," << y;
            }
        }
    EXPECT_GT(eyeDiffers, 110 * 100);
}

// Where the image holds several pixels per widget pixel (a high-density screen), a run's moves
// and a repaint draw in the view and in the eye exactly the picture of one pixel per widget
// pixel, enlarged: every square covers ratio x ratio times its pixels at the same place, at
// sizes with and without their own painters. The overlay's text is drawn at the image's own
// resolution, and the exported file is the one written at ratio 1.
TEST_F(BitmapExportTest, HighDensitySurfacesDrawThePlainPictureEnlargedAndExportThePlainFile) {
    openWindow();
    ui().eye.drawCentreCheck->setChecked(false);  // its marker is drawn thin on purpose
    QTest::mouseClick(ui().navigation.eyeShowHideButton, Qt::LeftButton);
    qm::ImageSurface& view = *ui().view.viewSurface;
    qm::ImageSurface& eye = *ui().eye.eyeSurface;
    const auto atRatio = [&](int ratio) {
        view.setPixelRatioOverride(ratio);
        eye.setPixelRatioOverride(ratio);
        view.render();
        eye.render();
        ASSERT_EQ(view.image().size(), view.size() * ratio);
        ASSERT_EQ(eye.pixelRatio(), ratio);
        ASSERT_TRUE(eye.spareEdgeIntact());
    };
    // Pixels of `dense` that differ from the pixel of `plain` they enlarge, outside `skip`.
    const auto enlargementErrors = [](const QImage& dense, const QImage& plain, int ratio, QRect skip) {
        int errors = 0;
        if (dense.size() != plain.size() * ratio) return -1;
        for (int y = 0; y < dense.height(); ++y)
            for (int x = 0; x < dense.width(); ++x)
                errors += !skip.contains(x / ratio, y / ratio) && dense.pixel(x, y) != plain.pixel(x / ratio, y / ratio);
        return errors;
    };
    const QRect overlay(0, 0, 280, 130);  // the counters' cells and their text
    for (const char* size : {"1", "2", "6", "8"}) {
        SCOPED_TRACE(size);
        ui().visualisation.squareSizeCombo->setCurrentText(QString::fromLatin1(size));
        atRatio(1);
        runSteps(1500);
        const QImage plainView = view.image().copy(), plainEye = eye.image().copy();
        int painted = 0;
        for (int y = overlay.bottom() + 1; y < plainView.height(); ++y)
            for (int x = 0; x < plainView.width(); ++x) painted += plainView.pixel(x, y) != qm::toArgb(peer().viewBackground());
        ASSERT_GT(painted, 200) << "the run's squares are in the picture";
        exportTo(path("plain.bmp"));
        ui().navigation.redrawViewButton->click();
        const QImage repaintedView = view.image().copy();
        for (const int ratio : {2, 3}) {
            SCOPED_TRACE(ratio);
            atRatio(ratio);
            runSteps(1500);
            EXPECT_EQ(enlargementErrors(view.image(), plainView, ratio, overlay), 0);
            EXPECT_EQ(enlargementErrors(eye.image(), plainEye, ratio, QRect()), 0);
            // Text at the image's resolution: not every ratio x ratio block of the overlay is one colour.
            const QImage& dense = view.image();
            int splitBlocks = 0;
            for (int y = 0; y < overlay.height() * ratio; y += ratio)
                for (int x = 0; x < overlay.width() * ratio; x += ratio)
                    splitBlocks += dense.pixel(x, y) != dense.pixel(x + ratio - 1, y + ratio - 1);
            EXPECT_GT(splitBlocks, 10);

            exportTo(path("dense.bmp"));
            EXPECT_EQ(BmpFile(path("dense.bmp")).bytes, BmpFile(path("plain.bmp")).bytes);
            EXPECT_EQ(view.pixelRatio(), ratio) << "back at the screen's ratio";
            ui().navigation.redrawViewButton->click();
            EXPECT_EQ(enlargementErrors(view.image(), repaintedView, ratio, overlay), 0);
        }
        EXPECT_TRUE(dialogs.boxes.empty());
    }
    // Left to the screen, the surfaces take its ratio (2 in the run with QT_SCALE_FACTOR=2).
    view.setPixelRatioOverride(0);
    view.render();
    EXPECT_EQ(view.pixelRatio(), qRound(view.devicePixelRatioF()));
    EXPECT_EQ(view.image().size(), view.size() * view.pixelRatio());
}

TEST_F(BitmapExportTest, WriterPadsRowsOfAnyWidthAndReadsAnyImageFormat) {
    for (int width : {1, 2, 3, 4, 5}) {
        QImage image(width, 2, QImage::Format_ARGB32_Premultiplied);
        image.fill(qRgb(1, 2, 3));
        image.setPixel(0, 0, qRgb(200, 100, 50));
        const QString file = path("small.bmp");
        ASSERT_TRUE(qm::saveBmp24(image, file));
        const BmpFile bmp(file);
        EXPECT_EQ(bmp.rowBytes() % 4, 0);
        ASSERT_EQ(bmp.bytes.size(), 54 + 2 * bmp.rowBytes()) << "width " << width;
        EXPECT_EQ(bmp.pixel(0, 0), qRgb(200, 100, 50));
        EXPECT_EQ(bmp.pixel(width - 1, 1), qRgb(1, 2, 3));
        // The first stored row is the image's bottom row.
        EXPECT_EQ(uint8_t(bmp.bytes[54]), 3);
    }
}

// ------------------------------------------------------------------------------------------
// The memory reserve

TEST_F(BitmapExportTest, CancelledDialogStillReleasesAndReallocatesTheReserve) {
    openWindow();
    installAllocatorRecorder();
    void* reserve = peer().bitmapExport().memoryReserve;
    ASSERT_NE(reserve, nullptr);

    cancelExport();

    EXPECT_EQ(dialogs.saveDialogs.size(), 1u);
    EXPECT_TRUE(dialogs.boxes.empty());
    ASSERT_EQ(recorder.released.size(), 1u);
    EXPECT_EQ(recorder.released[0], reserve);
    EXPECT_EQ(recorder.allocationsOf(BitmapExport::ReserveBytes), 1);
    EXPECT_NE(peer().bitmapExport().memoryReserve, nullptr);
}

TEST_F(BitmapExportTest, ReserveThatCannotBeRegainedIsReportedAndTriedAgainNextTime) {
    openWindow();
    installAllocatorRecorder();
    recorder.refuse = [](std::size_t bytes) { return bytes == BitmapExport::ReserveBytes; };

    exportTo(path("first.bmp"));

    expectOnlyBox(MsgReserveLost, qm::BoxType::Warning);
    EXPECT_EQ(dialogs.boxes[0].text, "Warning: not enought free memory ...");
    EXPECT_EQ(peer().bitmapExport().memoryReserve, nullptr);
    EXPECT_TRUE(QFile::exists(path("first.bmp"))) << "the export itself went through";

    recorder.refuse = nullptr;
    recorder.released.clear();
    cancelExport();
    EXPECT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_NE(peer().bitmapExport().memoryReserve, nullptr);
    EXPECT_TRUE(recorder.released.empty()) << "no reserve to release";
}

// ------------------------------------------------------------------------------------------
// Failures

TEST_F(BitmapExportTest, UnwritablePathIsReportedWithItsName) {
    openWindow();
    const QString target = path("no-such-folder/view.bmp");

    exportTo(target);

    expectOnlyBox(MsgNotSavedTo + target.toStdString(), qm::BoxType::Error);
    EXPECT_EQ(dialogs.boxes[0].text.rfind("ERROR: Not saved to: ", 0), 0u);
    EXPECT_NE(peer().bitmapExport().exportBitmap, nullptr) << "the bitmap is kept";
    EXPECT_NE(peer().bitmapExport().memoryReserve, nullptr);
}

TEST_F(BitmapExportTest, ALinkIsFollowedWithItsTargetsModeKeptAndADeviceOrFolderIsRefused) {
    openWindow();
    const QString target = path("target.png");
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old content");
    old.close();
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::link(target, path("link.png")));
    const QFile::Permissions mode = QFile::permissions(target);

    exportTo(path("link.png"));

    ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes.front().text;
    EXPECT_TRUE(QFileInfo(path("link.png")).isSymLink()) << "the link stays a link";
    EXPECT_EQ(QImage(target).size(), ui().view.viewSurface->size()) << "its target holds the picture";
    EXPECT_EQ(QFile::permissions(target), mode);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden).size(), 2) << "no partial file";

    for (const QString& refused : {QStringLiteral("/dev/null"), dir.path()}) {
        dialogs.boxes.clear();
        exportTo(refused);
        expectOnlyBox(MsgNotSavedTo + refused.toStdString(), qm::BoxType::Error);
    }
    EXPECT_TRUE(QFileInfo(QStringLiteral("/dev/null")).exists() && !QFileInfo(QStringLiteral("/dev/null")).isFile());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden).size(), 2);
}

TEST_F(BitmapExportTest, BitmapThatCannotBeSizedIsReportedOnResizeAndOnExport) {
    openWindow();
    installAllocatorRecorder();
    // The window shrinks to a view of 539 x 388: its bitmap rows take 1620 bytes.
    const std::size_t bitmapBytes = std::size_t(qm::bmpRowBytes(539)) * 388;
    recorder.refuse = [&](std::size_t bytes) { return bytes == bitmapBytes; };

    form->resize(700, 500);
    QCoreApplication::processEvents();
    ASSERT_EQ(ui().view.viewSurface->size(), QSize(539, 388));
    expectOnlyBox(MsgFatalBitmapMemory, qm::BoxType::Error);
    EXPECT_EQ(dialogs.boxes[0].text, "FATAL ERROR: not enought memory. Close aplication or ??????.");
    EXPECT_EQ(peer().bitmapExport().exportBitmap, nullptr);

    dialogs.boxes.clear();
    exportTo(path("refused.bmp"));
    expectOnlyBox(MsgExportMemory, qm::BoxType::Error);
    EXPECT_EQ(dialogs.boxes[0].text, "FATAL ERROR: not enought memory - not saved. Close aplication or ??????.");
    EXPECT_FALSE(QFile::exists(path("refused.bmp")));
    EXPECT_EQ(peer().bitmapExport().exportBitmap, nullptr);
    EXPECT_NE(peer().bitmapExport().memoryReserve, nullptr);

    // Memory back: the next export creates the bitmap again.
    recorder.refuse = nullptr;
    dialogs.boxes.clear();
    exportTo(path("later.bmp"));
    EXPECT_TRUE(dialogs.boxes.empty());
    const BmpFile bmp(path("later.bmp"));
    EXPECT_EQ(bmp.width(), 539);
    EXPECT_EQ(bmp.height(), 388);
}

// ------------------------------------------------------------------------------------------
// Background colours

TEST_F(BitmapExportTest, CancelledColourDialogsStillRepaint) {
    openWindow();
    QTest::mouseClick(ui().navigation.eyeShowHideButton, Qt::LeftButton);
    QCoreApplication::processEvents();
    const qm::ColourRef viewBackground = peer().viewBackground();
    const qm::ColourRef eyeBackground = peer().eyeWindow().eyeBackground;
    const int bottom = ui().view.viewSurface->height() - 1;
    ui().view.viewSurface->image().setPixel(0, bottom, qRgb(255, 0, 255));
    ui().eye.eyeSurface->image().setPixel(0, 0, qRgb(255, 0, 255));

    ui().view.changeBackgroundAction->trigger();
    ui().view.changeEyeBackgroundAction->trigger();

    ASSERT_EQ(dialogs.colourDialogs.size(), 2u);
    EXPECT_EQ(dialogs.colourDialogs[0], QColor(qm::toArgb(viewBackground))) << "opens on the current colour";
    EXPECT_EQ(dialogs.colourDialogs[1], QColor(qm::toArgb(eyeBackground)));
    EXPECT_EQ(peer().viewBackground(), viewBackground);
    EXPECT_EQ(peer().eyeWindow().eyeBackground, eyeBackground);
    EXPECT_EQ(ui().view.viewSurface->image().pixel(0, bottom), qm::toArgb(viewBackground));
    EXPECT_EQ(ui().eye.eyeSurface->image().pixel(0, 0), qm::toArgb(eyeBackground));
}

TEST_F(BitmapExportTest, ChosenColoursBecomeTheBackgroundsButNotStateColours) {
    openWindow();
    about->generalizedRadio->click();  // a generalized state table, entry 0 the view background
    QTest::mouseClick(ui().navigation.eyeShowHideButton, Qt::LeftButton);
    QCoreApplication::processEvents();
    const qm::StateColourTable stateColours = peer().stateColours();

    dialogs.colourAnswers.push_back(QColor(10, 20, 30));
    ui().view.changeBackgroundAction->trigger();
    EXPECT_EQ(peer().viewBackground(), qm::rgb(10, 20, 30));
    EXPECT_EQ(ui().view.viewArea->palette().color(QPalette::Window), QColor(10, 20, 30));
    EXPECT_EQ(ui().view.viewSurface->image().pixel(0, ui().view.viewSurface->height() - 1), qRgb(10, 20, 30));

    const QColor eyeBefore(qm::toArgb(peer().eyeWindow().eyeBackground));
    dialogs.colourAnswers.push_back(QColor(200, 100, 50));
    ui().view.changeEyeBackgroundAction->trigger();
    ASSERT_EQ(dialogs.colourDialogs.size(), 2u);
    EXPECT_EQ(dialogs.colourDialogs[1], eyeBefore) << "the eye's own colour, not the last one chosen";
    EXPECT_EQ(peer().eyeWindow().eyeBackground, qm::rgb(200, 100, 50));
    EXPECT_EQ(ui().eye.eyeSurface->image().pixel(0, 0), qRgb(200, 100, 50));
    EXPECT_EQ(peer().viewBackground(), qm::rgb(10, 20, 30));

    EXPECT_EQ(peer().stateColours(), stateColours);
}

TEST_F(BitmapExportTest, BothSurfacesOfferTheContextMenu) {
    openWindow();
    QTest::mouseClick(ui().navigation.eyeShowHideButton, Qt::LeftButton);
    QCoreApplication::processEvents();
    ASSERT_GE(ui().view.viewMenu->actions().size(), 3);
    EXPECT_EQ(ui().view.saveBmpAction->text(), "Save to BMP (Should be slow)");
    EXPECT_EQ(ui().view.changeBackgroundAction->text(), "Change background color");
    EXPECT_EQ(ui().view.changeEyeBackgroundAction->text(), "Change eye background color");
    for (QWidget* surface : {static_cast<QWidget*>(ui().view.viewSurface), static_cast<QWidget*>(ui().eye.eyeSurface)}) {
        QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), surface->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(surface, &request);
        EXPECT_TRUE(ui().view.viewMenu->isVisible());
        ui().view.viewMenu->hide();
    }
}

// ------------------------------------------------------------------------------------------
// PNG: the view by its suffix, and the whole picture from the grid and the store.

TEST_F(BitmapExportTest, PngSuffixWritesTheViewAsPng) {
    openWindow();
    runSteps(2000);
    exportTo(path("view.png"));
    EXPECT_TRUE(dialogs.boxes.empty());
    QFile file(path("view.png"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
    file.close();
    const QImage png(path("view.png"));
    const QImage& view = ui().view.viewSurface->image();
    ASSERT_EQ(png.size(), view.size());
    int squares = 0;
    for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x) {
            ASSERT_EQ(png.pixel(x, y), view.pixel(x, y)) << x << "," << y;
            squares += png.pixel(x, y) != qm::toArgb(peer().viewBackground());
        }
    EXPECT_GT(squares, 100);
}

namespace {

struct WholePictureCase {
    const char* name;
    std::function<void(SettingsDialog&)> choose;
    const char* ants;
    int64_t steps;  // few enough for the whole area to fit the view
};

// Ants far from the origin paint squares outside the bounding box; program 1 turns left on
// every fresh square.
constexpr const char* PictureLangtonAnts = "0,0,1,0000FF\n3,3,2,00AA00\n-4,2,3,AA0000\n40,-30,2,AA00AA\n-25,12,4,008888";
constexpr const char* PictureGeneralizedAnts = "0,0,1\n3,3,2,0x5\n-4,2,3\n40,-30,4,1\n-25,12,1,BX0110";

class WholePicture : public viewtest::ViewTest, public ::testing::WithParamInterface<WholePictureCase> {
protected:
    QTemporaryDir dir;
};

}  // namespace

// At size "1" the repainted view shows every square as one pixel: the whole picture must show
// the same pixels where the two overlap, and only background beyond the painted area's squares.
TEST_P(WholePicture, PngHoldsEverySquareAsTheRepaintedViewShowsIt) {
    const WholePictureCase& c = GetParam();
    openWindow();
    c.choose(*about);
    selectDisplayMode(StatePanel::HideNumbers);
    selectSize("1");
    run(QString::fromLatin1(c.ants), c.steps);
    ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes.front().text;
    redraw();

    const QString file = dir.filePath("whole.png");
    dialogs.saveAnswers.push_back(file);
    ui().view.saveWholePictureAction->trigger();
    ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes.front().text;
    ASSERT_EQ(dialogs.saveDialogs.size(), 1u);
    EXPECT_EQ(dialogs.saveDialogs[0].filter, "PNG pictures, one pixel per square (*.png)|*.png|All files (*.*)|*.*");
    EXPECT_EQ(dialogs.saveDialogs[0].defaultSuffix, "png");

    const QImage png(file);
    const qm::SquareBox area = qm::paintedArea(peer().world());
    ASSERT_EQ(png.width(), area.width());
    ASSERT_EQ(png.height(), area.height());
    const qm::RunCounters& counters = peer().world().counters;
    EXPECT_LE(area.minX, counters.minX);
    EXPECT_GE(area.maxY, counters.maxY);
    const MainView& view = peer().mainView();
    int compared = 0, painted = 0;
    for (int py = 0; py < png.height(); ++py)
        for (int px = 0; px < png.width(); ++px) {
            const int64_t x = area.minX + px, y = area.maxY - py;
            const int64_t vx = view.viewCentreX + x, vy = viewtest::ViewHeight - view.viewCentreY - y;
            ASSERT_TRUE(vx >= 0 && vx < viewtest::ViewWidth && vy >= 0 && vy < viewtest::ViewHeight)
                << "the small run fits the view";
            ASSERT_EQ(png.pixel(px, py), pixel(int(vx), int(vy))) << "square " << x << ", " << y;
            ++compared;
            painted += png.pixel(px, py) != background();
        }
    EXPECT_GT(painted, 100);
    EXPECT_EQ(compared, png.width() * png.height());

    // A run without a window draws the same picture in the colours of a window left as it opened.
    const QString batchFile = dir.filePath("batch.png");
    ASSERT_EQ(qm::writeWholePicturePngInDefaultColours(peer().world(), about->spectrumItem(),
                                                       QFile::encodeName(batchFile).toStdString(), 0),
              "");
    EXPECT_EQ(QImage(batchFile).convertToFormat(QImage::Format_RGB32), png.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(qm::writeWholePicturePngInDefaultColours(peer().world(), 0, "/nonexistent/b.png", 0),
              "the file cannot be created");
}

INSTANTIATE_TEST_SUITE_P(
    EveryMode, WholePicture,
    ::testing::Values(WholePictureCase{"indexed255", [](SettingsDialog&) {}, PictureLangtonAnts, 3000},
                      WholePictureCase{"indexed15", [](SettingsDialog& a) { a.ants15Radio->click(); }, PictureLangtonAnts, 3000},
                      WholePictureCase{"indexed65535", [](SettingsDialog& a) { a.ants65535Radio->click(); }, PictureLangtonAnts, 3000},
                      WholePictureCase{"blackWhite", [](SettingsDialog& a) { a.antsManyRadio->click(); }, PictureLangtonAnts, 3000},
                      WholePictureCase{"generalized", [](SettingsDialog& a) { a.generalizedRadio->click(); },
                                       PictureGeneralizedAnts, 800}),
    [](const ::testing::TestParamInfo<WholePictureCase>& info) { return std::string(info.param.name); });

TEST_F(BitmapExportTest, LargeWholePictureIsReducedAndTheDialogSaysHowMuch) {
    openWindow();
    runSteps(10);
    // Two painted squares 40,000 squares apart: one pixel for 3 x 3 squares.
    qm::World& w = peer().world();
    w.counters.maxX = 1000;
    ASSERT_TRUE(w.grid.exists());
    ASSERT_NE(w.storeIndexed, nullptr) << "continue compute is on";
    w.searchIndexed = {39000, 0, 1};
    ASSERT_EQ(w.storeIndexed->Toggle(), 0);
    dialogs.saveAnswers.push_back(path("reduced.png"));
    ui().view.saveWholePictureAction->trigger();
    ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes.front().text;
    EXPECT_EQ(dialogs.saveDialogs[0].filter, "PNG pictures, one pixel for 3 x 3 squares (*.png)|*.png|All files (*.*)|*.*");
    const QImage png(path("reduced.png"));
    const qm::SquareBox area = qm::paintedArea(w);
    EXPECT_EQ(png.width(), (area.width() + 2) / 3);
    EXPECT_LE(png.width(), qm::MaxPictureSide);
    const QRgb antColour = qm::toArgb(qm::colourOf(w.antColour[1]));
    EXPECT_EQ(png.pixel(int((39000 - area.minX) / 3), int(area.maxY / 3)), antColour);

    // A file that cannot be written is reported, naming it.
    dialogs.saveAnswers.push_back(path("missing/dir/x.png"));
    ui().view.saveWholePictureAction->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text.rfind(MsgNotSavedTo + path("missing/dir/x.png").toStdString(), 0), 0u);
}

TEST_F(BitmapExportTest, PatternMenuWritesTheRlePattern) {
    openWindow();
    runSteps(500);
    dialogs.saveAnswers.push_back(path("run.rle"));
    ui().view.savePatternAction->trigger();
    ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes.front().text;
    EXPECT_EQ(dialogs.saveDialogs[0].defaultSuffix, "rle");
    QFile file(path("run.rle"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("#CXRLE Pos=")) << text.left(80).toStdString();
    EXPECT_TRUE(text.contains("rule = LangtonsAnt_RL\n"));
    EXPECT_TRUE(text.trimmed().endsWith('!'));
}

TEST(PicturePng, ForcedScaleWritesThePictureAsRendered) {
    qm::World w;  // no run: the bounding box at the origin alone
    const qm::PngOutcome none = qm::writeWholePicturePng(w, {0x112233, nullptr}, QStringLiteral("/nonexistent/a.png"));
    EXPECT_EQ(none.error, qm::PictureError::None);
    EXPECT_FALSE(none.writeError.empty());

    QTemporaryDir dir;
    const QString file = dir.filePath("one.png");
    const qm::PngOutcome outcome = qm::writeWholePicturePng(w, {0x112233, nullptr}, file, 2);
    ASSERT_EQ(outcome.writeError, "");
    EXPECT_EQ(outcome.scale, 2);
    const QImage png(file);
    ASSERT_EQ(png.size(), QSize(1, 1));
    EXPECT_EQ(png.pixel(0, 0), qRgb(0x33, 0x22, 0x11));
}

TEST(PicturePng, MoreColoursThanAByteHoldsAreWrittenInFull) {
    // 300 ants of the 65535-ant mode: the codes need two bytes and the file full colour.
    qm::World w;
    w.antMaxMode = qm::AntMaxMode::Ants65535;
    ASSERT_TRUE(qm::prepareFastGrid(w, 4));
    ASSERT_TRUE(qm::allocateIndexedAntArrays(w, 65535));
    qm::resetCounters(w, 300, 0.0);
    for (int32_t i = 0; i < 300; ++i) w.antColour[i] = qm::makeColourWord(0x010203u * uint32_t(i % 80), 1);
    w.antColour[299] = qm::makeColourWord(qm::rgb(250, 20, 10), 1);
    w.antColour[3] = qm::makeColourWord(qm::rgb(5, 6, 7), 1);
    viewtest::storeCell(w.grid, 1, 0, 299);
    viewtest::storeCell(w.grid, 0, -1, 3);

    QTemporaryDir dir;
    const QString file = dir.filePath("wide.png");
    const qm::PngOutcome outcome = qm::writeWholePicturePng(w, {0xFFFFFF, nullptr}, file);
    ASSERT_EQ(outcome.writeError, "");
    const QImage png(file);
    ASSERT_EQ(png.size(), QSize(2, 2)) << "the box at the origin and the two squares";
    EXPECT_EQ(png.pixel(1, 0), qRgb(250, 20, 10));
    EXPECT_EQ(png.pixel(0, 1), qRgb(5, 6, 7));
    EXPECT_EQ(png.pixel(0, 0), qRgb(255, 255, 255));
}

TEST(PicturePng, ALinkIsFollowedAndADeviceIsRefused) {
    qm::World w;
    QTemporaryDir dir;
    const QString target = dir.filePath("target.png"), link = dir.filePath("link.png");
    { QFile old(target); ASSERT_TRUE(old.open(QIODevice::WriteOnly)); old.write("old"); }
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_EQ(qm::writeWholePicturePng(w, {0x112233, nullptr}, link, 1).writeError, "");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QImage(target).size(), QSize(1, 1));
    EXPECT_EQ(QFile::permissions(target), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    EXPECT_EQ(qm::writeWholePicturePng(w, {0x112233, nullptr}, QStringLiteral("/dev/null"), 1).writeError,
              "it is not a regular file");
    EXPECT_TRUE(QFileInfo(QStringLiteral("/dev/null")).exists() && !QFileInfo(QStringLiteral("/dev/null")).isFile());
}

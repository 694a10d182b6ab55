// The context menu's commands: the BMP export read back byte by byte, the memory reserve
// around it, every failure with its box, and the two background colour commands.

#include <cstdlib>
#include <vector>

#include <QAction>
#include <QContextMenuEvent>
#include <QFile>
#include <QFrame>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

#include "MainWindowFixture.h"
#include "view/BitmapExport.h"
#include "view/BmpWriter.h"
#include "view/Colours.h"
#include "view/EyeWindow.h"
#include "view/ImageSurface.h"

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
        form->SavetoBMP1->trigger();
    }
    void cancelExport() { form->SavetoBMP1->trigger(); }
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
    ASSERT_EQ(form->PaintBox1->size(), QSize(597, 441));
    runSteps(3000);

    exportTo(path("view.bmp"));

    EXPECT_TRUE(dialogs.boxes.empty());
    ASSERT_EQ(dialogs.saveDialogs.size(), 1u);
    EXPECT_EQ(dialogs.saveDialogs[0].filter, "Bitmaps (*.bmp)|*.bmp|All files (*.*)|*.*");
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

    const QImage& view = form->PaintBox1->image();
    int squares = 0;
    for (int y = 0; y < 441; ++y) {
        for (int x = 0; x < 597; ++x) {
            ASSERT_EQ(bmp.pixel(x, y), view.pixel(x, y)) << x << "," << y;
            squares += view.pixel(x, y) != qm::toArgb(form->viewBackground);
        }
        EXPECT_EQ(bmp.bytes[54 + y * 1792 + 1791], 0) << "padding of row " << y;
    }
    EXPECT_GT(squares, 100) << "the run's squares are in the picture";
}

TEST_F(BitmapExportTest, EyeWindowIsLaidOverTheViewWhereItShows) {
    openWindow();
    runSteps(2000);
    QTest::mouseClick(form->Button7, Qt::LeftButton);
    QCoreApplication::processEvents();

    exportTo(path("eye.bmp"));

    EXPECT_TRUE(dialogs.boxes.empty());
    const BmpFile bmp(path("eye.bmp"));
    ASSERT_EQ(bmp.width(), 596);
    ASSERT_EQ(bmp.height(), 441);
    const QRect eyeArea = form->PanelFalconEye->geometry().translated(-form->PaintBox1->pos());
    ASSERT_EQ(eyeArea, QRect(486, 331, 110, 110));
    const QImage& view = form->PaintBox1->image();
    const QImage& eye = form->PaintBoxEye->image();
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
    void* reserve = form->bitmapExport->memoryReserve;
    ASSERT_NE(reserve, nullptr);

    cancelExport();

    EXPECT_EQ(dialogs.saveDialogs.size(), 1u);
    EXPECT_TRUE(dialogs.boxes.empty());
    ASSERT_EQ(recorder.released.size(), 1u);
    EXPECT_EQ(recorder.released[0], reserve);
    EXPECT_EQ(recorder.allocationsOf(BitmapExport::ReserveBytes), 1);
    EXPECT_NE(form->bitmapExport->memoryReserve, nullptr);
}

TEST_F(BitmapExportTest, ReserveThatCannotBeRegainedIsReportedAndTriedAgainNextTime) {
    openWindow();
    installAllocatorRecorder();
    recorder.refuse = [](std::size_t bytes) { return bytes == BitmapExport::ReserveBytes; };

    exportTo(path("first.bmp"));

    expectOnlyBox(MsgReserveLost, qm::BoxType::Warning);
    EXPECT_EQ(dialogs.boxes[0].text, "Warning: not enought free memory ...");
    EXPECT_EQ(form->bitmapExport->memoryReserve, nullptr);
    EXPECT_TRUE(QFile::exists(path("first.bmp"))) << "the export itself went through";

    recorder.refuse = nullptr;
    recorder.released.clear();
    cancelExport();
    EXPECT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_NE(form->bitmapExport->memoryReserve, nullptr);
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
    EXPECT_NE(form->bitmapExport->exportBitmap, nullptr) << "the bitmap is kept";
    EXPECT_NE(form->bitmapExport->memoryReserve, nullptr);
}

TEST_F(BitmapExportTest, BitmapThatCannotBeSizedIsReportedOnResizeAndOnExport) {
    openWindow();
    installAllocatorRecorder();
    // The window shrinks to a view of 539 x 388: its bitmap rows take 1620 bytes.
    const std::size_t bitmapBytes = std::size_t(qm::bmpRowBytes(539)) * 388;
    recorder.refuse = [&](std::size_t bytes) { return bytes == bitmapBytes; };

    form->resize(700, 500);
    QCoreApplication::processEvents();
    ASSERT_EQ(form->PaintBox1->size(), QSize(539, 388));
    expectOnlyBox(MsgFatalBitmapMemory, qm::BoxType::Error);
    EXPECT_EQ(dialogs.boxes[0].text, "FATAL ERROR: not enought memory. Close aplication or ??????.");
    EXPECT_EQ(form->bitmapExport->exportBitmap, nullptr);

    dialogs.boxes.clear();
    exportTo(path("refused.bmp"));
    expectOnlyBox(MsgExportMemory, qm::BoxType::Error);
    EXPECT_EQ(dialogs.boxes[0].text, "FATAL ERROR: not enought memory - not saved. Close aplication or ??????.");
    EXPECT_FALSE(QFile::exists(path("refused.bmp")));
    EXPECT_EQ(form->bitmapExport->exportBitmap, nullptr);
    EXPECT_NE(form->bitmapExport->memoryReserve, nullptr);

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
    QTest::mouseClick(form->Button7, Qt::LeftButton);
    QCoreApplication::processEvents();
    const qm::ColourRef viewBackground = form->viewBackground;
    const qm::ColourRef eyeBackground = form->eyeWindow->eyeBackground;
    const int bottom = form->PaintBox1->height() - 1;
    form->PaintBox1->image().setPixel(0, bottom, qRgb(255, 0, 255));
    form->PaintBoxEye->image().setPixel(0, 0, qRgb(255, 0, 255));

    form->Changebackgroundcolor1->trigger();
    form->Changeeyebackgroundcolor1->trigger();

    ASSERT_EQ(dialogs.colourDialogs.size(), 2u);
    EXPECT_EQ(dialogs.colourDialogs[0], QColor(qm::toArgb(viewBackground))) << "opens on the current colour";
    EXPECT_EQ(dialogs.colourDialogs[1], QColor(qm::toArgb(eyeBackground)));
    EXPECT_EQ(form->viewBackground, viewBackground);
    EXPECT_EQ(form->eyeWindow->eyeBackground, eyeBackground);
    EXPECT_EQ(form->PaintBox1->image().pixel(0, bottom), qm::toArgb(viewBackground));
    EXPECT_EQ(form->PaintBoxEye->image().pixel(0, 0), qm::toArgb(eyeBackground));
}

TEST_F(BitmapExportTest, ChosenColoursBecomeTheBackgroundsButNotStateColours) {
    openWindow();
    about->RadioButtonG->click();  // a generalized state table, entry 0 the view background
    QTest::mouseClick(form->Button7, Qt::LeftButton);
    QCoreApplication::processEvents();
    const qm::StateColourTable stateColours = form->stateColours;

    dialogs.colourAnswers.push_back(QColor(10, 20, 30));
    form->Changebackgroundcolor1->trigger();
    EXPECT_EQ(form->viewBackground, qm::rgb(10, 20, 30));
    EXPECT_EQ(form->Panel4->palette().color(QPalette::Window), QColor(10, 20, 30));
    EXPECT_EQ(form->PaintBox1->image().pixel(0, form->PaintBox1->height() - 1), qRgb(10, 20, 30));

    const QColor eyeBefore(qm::toArgb(form->eyeWindow->eyeBackground));
    dialogs.colourAnswers.push_back(QColor(200, 100, 50));
    form->Changeeyebackgroundcolor1->trigger();
    ASSERT_EQ(dialogs.colourDialogs.size(), 2u);
    EXPECT_EQ(dialogs.colourDialogs[1], eyeBefore) << "the eye's own colour, not the last one chosen";
    EXPECT_EQ(form->eyeWindow->eyeBackground, qm::rgb(200, 100, 50));
    EXPECT_EQ(form->PaintBoxEye->image().pixel(0, 0), qRgb(200, 100, 50));
    EXPECT_EQ(form->viewBackground, qm::rgb(10, 20, 30));

    EXPECT_EQ(form->stateColours, stateColours);
}

TEST_F(BitmapExportTest, BothSurfacesOfferTheContextMenu) {
    openWindow();
    QTest::mouseClick(form->Button7, Qt::LeftButton);
    QCoreApplication::processEvents();
    ASSERT_EQ(form->PopupMenu2->actions().size(), 3);
    EXPECT_EQ(form->SavetoBMP1->text(), "Save to BMP (Should be slow)");
    EXPECT_EQ(form->Changebackgroundcolor1->text(), "Change background color");
    EXPECT_EQ(form->Changeeyebackgroundcolor1->text(), "Change eye background color");
    for (QWidget* surface : {static_cast<QWidget*>(form->PaintBox1), static_cast<QWidget*>(form->PaintBoxEye)}) {
        QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), surface->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(surface, &request);
        EXPECT_TRUE(form->PopupMenu2->isVisible());
        form->PopupMenu2->hide();
    }
}

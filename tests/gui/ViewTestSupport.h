#pragma once
// Shared by the main view, state panel and navigation tests: a main window fixture with helpers
// to read the main view's pixels, to lay squares into a fast grid made by hand, and to run.

#include <cstdint>
#include <functional>
#include <string>

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include "MainWindowFixture.h"
#include "core/RunSetup.h"
#include "display/Colours.h"
#include "gui/view/EyeWindow.h"
#include "gui/view/ImageSurface.h"
#include "gui/view/MainView.h"
#include "gui/view/StatePanel.h"

namespace viewtest {

inline constexpr int ViewWidth = 596;
inline constexpr int ViewHeight = 441;
inline constexpr uint32_t WhiteArgb = 0xFFFFFFFFu;
inline constexpr uint32_t BlackArgb = 0xFF000000u;

// Writes one square of a hand-made fast grid: an ant index (indexed widths), black or white
// (bits in rows), or a generalized cell value (bytes when `generalized`).
inline void storeCell(qm::FastGrid& grid, int32_t x, int32_t y, uint32_t value, bool generalized = false) {
    const int32_t r = grid.halfSize;
    switch (grid.width) {
        case qm::CellWidth::Bit: {
            const int64_t byte = static_cast<int64_t>(y + r) * grid.rowBytes + (x + r) / 8;
            const uint8_t bit = static_cast<uint8_t>(1u << ((x + r) % 8));
            if (value) grid.cells[byte] |= bit;
            else grid.cells[byte] &= static_cast<uint8_t>(~bit);
            break;
        }
        default:
            if (generalized) grid.cells[grid.cellIndex(x, y)] = static_cast<uint8_t>(value);
            else grid.setIndexedValue(x, y, value);
            break;
    }
}

class ViewTest : public MainWindowTest {
protected:
    QImage& image() { return ui().view.viewSurface->image(); }
    uint32_t pixel(int x, int y) { return image().pixel(x, y); }
    uint32_t background() const { return qm::toArgb(peer().viewBackground()); }

    void selectSize(const char* item) {
        const int index = ui().visualisation.squareSizeCombo->findText(QString::fromLatin1(item));
        ASSERT_GE(index, 0);
        if (ui().visualisation.squareSizeCombo->currentIndex() == index) peer().squareSizeChanged();
        else ui().visualisation.squareSizeCombo->setCurrentIndex(index);
    }
    void selectDisplayMode(int item) {
        if (ui().state.displayModeCombo->currentIndex() == item) peer().displayModeChanged();
        else ui().state.displayModeCombo->setCurrentIndex(item);
    }

    // A fast grid of half size r for the world's current mode, with a bounding box reaching
    // +-box, as a finished run would leave it.
    void makeGrid(int32_t r, int32_t box) {
        ASSERT_TRUE(qm::prepareFastGrid(peer().world(), r));
        peer().world().counters.minX = -box;
        peer().world().counters.maxX = box;
        peer().world().counters.minY = -box;
        peer().world().counters.maxY = box;
    }

    // Ant 0 stands on (x, y) with a colour: the state the per-move painters read.
    void placeAnt(int32_t x, int32_t y, qm::ColourRef colour = 0) {
        qm::World& w = peer().world();
        w.antPos[0] = {x, y};
        if (w.antColour) w.antColour[0] = qm::makeColourWord(colour, qm::DirXPlus);
        w.counters.currentAnt = 0;
    }
    // The test's own changes before the call come from outside the loop, as a run's events do.
    void callHook(qm::Hook hook) {
        ++peer().world().outsideCalls;
        hook(peer().world().hooks.context);
    }
    // A move's square hook as the loop calls it: the turn result first (0 painted, 1 cleared).
    void callPaintHook() {
        peer().world().lastTurn = 0;
        callHook(peer().world().hooks.paint);
    }
    void callEraseHook() {
        peer().world().lastTurn = 1;
        callHook(peer().world().hooks.erase);
    }

    void redraw() { QTest::mouseClick(ui().navigation.redrawViewButton, Qt::LeftButton); }

    // Runs the editor text for a number of steps through the real window.
    void run(const QString& text, int64_t steps) {
        setEditor(text);
        setMaxSteps(steps);
        clickStart();
    }

    // Pixels inside [x0, x1] x [y0, y1] (inclusive) equal `inside`; a one-pixel ring around it
    // equals `outside`.
    void expectRect(int x0, int x1, int y0, int y1, uint32_t inside, uint32_t outside) {
        for (int y = y0 - 1; y <= y1 + 1; ++y) {
            for (int x = x0 - 1; x <= x1 + 1; ++x) {
                const bool in = x >= x0 && x <= x1 && y >= y0 && y <= y1;
                EXPECT_EQ(pixel(x, y), in ? inside : outside) << "pixel " << x << ", " << y;
            }
        }
    }

    // The picture the painters left, with the squares they cleared (pure white until the next
    // repaint) read as background: what a full repaint must draw.
    QImage paintedAsRepainted() {
        QImage painted = image().copy();
        for (int y = 0; y < painted.height(); ++y)
            for (int x = 0; x < painted.width(); ++x)
                if (painted.pixel(x, y) == WhiteArgb) painted.setPixel(x, y, background());
        return painted;
    }

    // Pixel for pixel, reporting where the pictures differ.
    static void expectSamePicture(const QImage& actual, const QImage& expected) {
        ASSERT_EQ(actual.size(), expected.size());
        int differing = 0;
        std::string first;
        for (int y = 0; y < actual.height(); ++y) {
            for (int x = 0; x < actual.width(); ++x) {
                if (actual.pixel(x, y) == expected.pixel(x, y)) continue;
                if (++differing <= 5)
                    first += " (" + std::to_string(x) + ", " + std::to_string(y) + "): " +
                             QString::number(actual.pixel(x, y), 16).toStdString() + " instead of " +
                             QString::number(expected.pixel(x, y), 16).toStdString();
            }
        }
        EXPECT_EQ(differing, 0) << first;
    }

    int countPixels(const QImage& picture, uint32_t argb) const {
        int n = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) n += picture.pixel(x, y) == argb;
        return n;
    }
};

}  // namespace viewtest

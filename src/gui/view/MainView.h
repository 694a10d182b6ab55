#pragma once
// The main view: the grid painted into viewSurface, one square per grid square, around the view
// offset. Installs the square painters into the world's hooks when the square size changes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <thread>
#include <vector>

#include "display/Colours.h"
#include "display/MoveReplay.h"
#include "gui/view/ImageSurface.h"
#include "gui/view/SquarePainters.h"

class QComboBox;
struct PaintContext;

namespace qm {
struct World;
}

class MainView {
public:
    // `paintContext`: what the world's hooks get, installed with the painters.
    MainView(qm::ImageSurface& viewSurface, const QComboBox& squareSizeCombo, qm::World& world,
             const qm::ColourRef& viewBackground, PaintContext& paintContext);

    void sizeSelection();     // "Ant square size:" changed: s, h and the three square painters
    void paintHandler();      // view clear, full repaint, then the step hook once
    void viewClear();         // background fill; measures the digit width
    void fullRepaint();       // every stored square of the visible region
    void updateViewCentre();  // (cx, cy) from the surface size

    // The painters note every square they are handed, so that a repaint also finds painted
    // squares the bounding box does not cover (start squares, generalized left turns on
    // fresh squares). A new run starts with nothing noted.
    void forgetVisited();
    // Called for every move: plain minima and maxima, which compile to conditional moves, since
    // with many ants whether a square widens the extent is anybody's guess.
    void noteVisited(int32_t x, int32_t y) {
        visitedMinX = std::min(visitedMinX, x);
        visitedMaxX = std::max(visitedMaxX, x);
        visitedMinY = std::min(visitedMinY, y);
        visitedMaxY = std::max(visitedMaxY, y);
    }
    bool anyVisited() const { return visitedMinX <= visitedMaxX; }

    int32_t viewOffsetX = 0;  // the square (-X, -Y) is drawn at the view centre
    int32_t viewOffsetY = 0;
    int32_t squareSize = 2;   // s
    int32_t halfSquare = 1;   // h
    int32_t viewCentreX = 0;  // cx
    int32_t viewCentreY = 0;  // cy
    int32_t digitWidth = 0;   // width of "1234567890" / 10, the state overlay's column unit
    bool drawsNothing = false;  // item "0": neither the painters nor the repaint draw
    // Runs take the loop instances that inline the painters; off, the loop calls the per-move
    // hooks, the plain reference the tests compare the instances with.
    bool specialisedLoops = true;
    // With the eye shown, many-ant runs hand the painting of their moves to a helper thread
    // (MoveReplay.h) when the machine has a core to spare for it.
    bool replaysMoves = std::thread::hardware_concurrency() >= 2;

    // Extent of the squares handed to the painters since the run began (empty: min > max).
    int32_t visitedMinX = INT32_MAX, visitedMaxX = INT32_MIN, visitedMinY = INT32_MAX, visitedMaxY = INT32_MIN;

    // Where the painters draw, kept between moves: rebuilding it reads the image (and detaches
    // it) every time. The image and the view fields change only while a run has handed control
    // outside its loop, so the target is rebuilt at the first move after each such call (the
    // painter hands over the world's count of them) and a resize or a navigation never leaves
    // it pointing astray.
    const qm::PixelTarget& pixelTarget(uint64_t outsideCalls) {
        if (outsideCalls != targetFor_) [[unlikely]] rebuildPixelTarget(outsideCalls);
        return pixelTarget_;
    }

    // The square marks of the inlined painters of sizes from 2 up: a bit per square the target
    // touches, set where a move landed. The painters draw and clear them before every outside
    // call, so a resize finds them clear; only their length follows the target.
    uint64_t* squareMarks(std::size_t words) {
        if (squareMarks_.size() != words) [[unlikely]] squareMarks_.assign(words, 0);
        return squareMarks_.data();
    }

    qm::MoveReplay& moveReplay() { return moveReplay_; }

private:
    [[gnu::noinline, gnu::cold]] void rebuildPixelTarget(uint64_t outsideCalls);
    void installSquarePainters();  // for squareSize at the surface's pixel ratio

    qm::ImageSurface& surface_;  // viewSurface
    qm::World& world_;
    qm::PixelTarget pixelTarget_;
    std::vector<uint64_t> squareMarks_;
    qm::MoveReplay moveReplay_;
    uint64_t targetFor_ = UINT64_MAX;  // the world's count of outside calls it was built at; none yet
    int paintersRatio_ = 0;  // the surface's pixel ratio the square painters were chosen for; 0: none yet
    // Behind what the painters use per move, which keeps its place in the object.
    const QComboBox& squareSizeCombo_;
    const qm::ColourRef& viewBackground_;
    PaintContext& paintContext_;
};

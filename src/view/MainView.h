#pragma once
// The main view: the grid painted into PaintBox1, one square per grid square, around the view
// offset. Installs the square painters into the world's hooks when the square size changes.

#include <cstdint>

class TForm1;

class MainView {
public:
    explicit MainView(TForm1& form);

    void sizeSelection();     // "Ant square size:" changed: s, h and the three square painters
    void paintHandler();      // view clear, full repaint, then the step hook once
    void viewClear();         // background fill; measures the digit width
    void fullRepaint();       // every stored square of the visible region
    void updateViewCentre();  // (cx, cy) from the surface size

    // The painters note every square they are handed, so that a repaint also finds painted
    // squares the bounding box does not cover (start squares, generalized left turns on
    // fresh squares). A new run starts with nothing noted.
    void forgetVisited();
    void noteVisited(int32_t x, int32_t y) {
        visitedMinX = x < visitedMinX ? x : visitedMinX;
        visitedMaxX = x > visitedMaxX ? x : visitedMaxX;
        visitedMinY = y < visitedMinY ? y : visitedMinY;
        visitedMaxY = y > visitedMaxY ? y : visitedMaxY;
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

    // Extent of the squares handed to the painters since the run began (empty: min > max).
    int32_t visitedMinX = INT32_MAX, visitedMaxX = INT32_MIN, visitedMinY = INT32_MAX, visitedMaxY = INT32_MIN;

private:
    TForm1& form_;
};

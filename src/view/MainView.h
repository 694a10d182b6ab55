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

    int32_t viewOffsetX = 0;  // the square (-X, -Y) is drawn at the view centre
    int32_t viewOffsetY = 0;
    int32_t squareSize = 2;   // s
    int32_t halfSquare = 1;   // h
    int32_t viewCentreX = 0;  // cx
    int32_t viewCentreY = 0;  // cy
    int32_t digitWidth = 0;   // width of "1234567890" / 10, the state overlay's column unit

private:
    TForm1& form_;
};

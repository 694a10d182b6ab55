#pragma once
// A paint surface: an off-screen image of the widget's own size, shown by the widget.
// On a high-density screen the image holds `pixelRatio()` x `pixelRatio()` of its pixels for
// each pixel of the widget (its devicePixelRatio says so), so what is drawn into it is shown
// without being enlarged; QPainter on it still works in widget pixels.
// Painters draw into image() at any time and call update(); the paint event only copies the
// image to the screen. When the widget changes size the image follows at once and the installed
// render callback (the program's paint handler) runs soon after, from the event loop, so that
// everything the handler reads (the view centre, say) has caught up with the new size.

#include <cstdint>
#include <functional>

#include <QImage>
#include <QWidget>

class QKeyEvent;
class QMouseEvent;
class QWheelEvent;

namespace qm {

class ImageSurface : public QWidget {
    Q_OBJECT
public:
    explicit ImageSurface(QWidget* parent = nullptr);

    // Write access. Whoever gets it may fill, paint on, reassign or detach the image (a write to
    // an image shared with a copy moves its pixels), so it counts as a new generation.
    QImage& image() {
        ++generation_;
        return image_;
    }
    const QImage& image() const { return image_; }
    // Changes whenever the image's pixels may have moved: when the surface refits the image to
    // its size and whenever write access is handed out. Code that keeps a pointer into the
    // pixels between calls (the square painters) compares it before every use.
    uint64_t generation() const { return generation_; }

    // With a spare edge the image lies in a buffer one pixel wider and taller than itself, whose
    // extra column and row never show: code that draws many single pixels can send the ones it
    // must not draw there instead of choosing between two addresses. Set it before the first fit.
    void setSpareEdge(bool spare) { spareEdge_ = spare; }
    // The image still lies in its buffer with the spare edge (writing to a copy of it that shares
    // its pixels moves it out, until the next fit).
    bool spareEdgeIntact() const;

    // Image pixels per widget pixel along each axis: the screen's device pixel ratio rounded
    // down, at least 1. Rounded down so that a fractional rest only ever enlarges the image on
    // the screen: a one-pixel line or square is never dropped and squares keep their places.
    int pixelRatio() const { return ratioOf(image_); }
    static int ratioOf(const QImage& image);
    // A ratio of its own instead of the screen's (0: the screen's again); the next fit or
    // render applies it. The BMP export draws at 1 this way.
    void setPixelRatioOverride(int ratio) { ratioOverride_ = ratio; }
    int pixelRatioOverride() const { return ratioOverride_; }
    int wantedRatio() const;  // the ratio the next fit gives the image

    // Runs the render callback now (if one is installed) and schedules a screen update.
    void render();
    // Asks for a render from the event loop; several requests before it runs give one render.
    void requestRender();
    bool renderPending() const { return renderPending_; }

    std::function<void()> onRender;
    std::function<void(QMouseEvent*)> onMousePress;
    std::function<void(QMouseEvent*)> onMouseMove;
    std::function<void(QMouseEvent*)> onMouseRelease;
    std::function<void(const QPoint& globalPos)> onContextMenu;
    std::function<void(QWheelEvent*)> onWheel;
    std::function<bool(QKeyEvent*)> onKeyPress;  // true: the key was used

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fitImage();
    void runPendingRender();

    QImage image_;
    QImage spareBuffer_;  // with a spare edge: the pixels image_ shows, one column and row larger
    uint64_t generation_ = 0;
    bool renderPending_ = false;
    bool spareEdge_ = false;
    int ratioOverride_ = 0;
};

}  // namespace qm

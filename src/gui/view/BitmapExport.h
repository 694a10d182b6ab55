#pragma once
// The context menu's commands: saving the main view as a BMP file and changing the two
// background colours; also the memory reserve held for the export and the export bitmap.

#include <cstddef>
#include <memory>

#include <QColor>
#include <QImage>

#include "display/Colours.h"

class QString;
class Dialogs;
class EyeWindow;
struct FileDialogSetup;
struct ViewWidgets;

namespace qm {
class ImageSurface;
}

inline constexpr const char* MsgExportMemory =
    "FATAL ERROR: not enought memory - not saved. Close aplication or ??????.";
inline constexpr const char* MsgNotSavedTo = "ERROR: Not saved to: ";
inline constexpr const char* MsgReserveLost = "Warning: not enought free memory ...";

class BitmapExport {
public:
    static constexpr std::size_t ReserveBytes = 1048576;

    // `view`: the main view's surface and the area it lies in; `viewBackground` is the main view's
    // background colour, which "Change background color" changes; `saveDialog` the picture dialog.
    BitmapExport(ViewWidgets& view, qm::ImageSurface& eyeSurface, EyeWindow& eyeWindow, qm::ColourRef& viewBackground,
                 FileDialogSetup& saveDialog, Dialogs& dialogs);
    ~BitmapExport();  // releases the memory reserve, then the export bitmap
    BitmapExport(const BitmapExport&) = delete;
    BitmapExport& operator=(const BitmapExport&) = delete;

    void saveToBmp();            // "Save to BMP (Should be slow)"; a ".png" name writes PNG
    void changeBackground();     // "Change background color"
    void changeEyeBackground();  // "Change eye background color"
    // Creates the export bitmap if needed and gives it the size of viewSurface. On failure the
    // bitmap is dropped and false returned (the caller reports it).
    bool resizeBitmap();

    void* memoryReserve = nullptr;
    // 24 bits per pixel, rows padded to 4 bytes as in the file; none after a failure. Its pixels
    // come from qm::allocator(), like every other big block.
    std::unique_ptr<QImage> exportBitmap;
    QColor lastChosenColour{Qt::black};  // the colour last chosen in the colour dialog

private:
    void releaseReserve();
    void restoreReserve();
    void exportTo(const QString& fileName);
    bool repaintAndSize();
    void copyView();  // the main view as on the screen: the eye window laid over it where shown

    ViewWidgets& view_;
    qm::ImageSurface& eyeSurface_;
    EyeWindow& eyeWindow_;
    qm::ColourRef& viewBackground_;
    FileDialogSetup& saveDialog_;
    Dialogs& dialogs_;
};

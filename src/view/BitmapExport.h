#pragma once
// The context menu's commands: saving the main view as a BMP file and changing the two
// background colours; also the memory reserve held for the export and the export bitmap.

#include <memory>

#include <QImage>

class TForm1;

class BitmapExport {
public:
    static constexpr std::size_t ReserveBytes = 1048576;

    explicit BitmapExport(TForm1& form);
    ~BitmapExport();  // releases the memory reserve, then the export bitmap
    BitmapExport(const BitmapExport&) = delete;
    BitmapExport& operator=(const BitmapExport&) = delete;

    void saveToBmp();
    void changeBackground();
    void changeEyeBackground();
    // Creates the export bitmap if needed and gives it the size of PaintBox1. On failure the
    // bitmap is dropped and false returned (the caller reports it).
    bool resizeBitmap();

    void* memoryReserve = nullptr;
    std::unique_ptr<QImage> exportBitmap;  // 24 bits per pixel; none after a failure

private:
    TForm1& form_;
};

#include "view/BitmapExport.h"

#include "app/MainForm/MainForm.h"
#include "core/Platform.h"
#include "view/ImageSurface.h"

BitmapExport::BitmapExport(TForm1& form)
    : memoryReserve(qm::allocator().allocate(ReserveBytes)),
      exportBitmap(std::make_unique<QImage>()),
      form_(form) {}

BitmapExport::~BitmapExport() {
    if (memoryReserve) qm::allocator().release(memoryReserve);
    memoryReserve = nullptr;
    exportBitmap.reset();
}

void BitmapExport::saveToBmp() {}
void BitmapExport::changeBackground() {}
void BitmapExport::changeEyeBackground() {}

bool BitmapExport::resizeBitmap() {
    if (!exportBitmap) exportBitmap = std::make_unique<QImage>();
    const QSize size = form_.PaintBox1->size();
    if (exportBitmap->size() == size) return true;
    *exportBitmap = QImage(size, QImage::Format_RGB888);
    if (exportBitmap->isNull() && !size.isEmpty()) {
        exportBitmap.reset();
        return false;
    }
    return true;
}

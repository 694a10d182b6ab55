#include "gui/view/BitmapExport.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include <QBuffer>
#include <QFile>
#include <QWidget>

#include "gui/Dialogs.h"
#include "gui/FileDialogSetup.h"
#include "core/Platform.h"
#include "core/SafeFile.h"
#include "gui/view/BmpWriter.h"
#include "gui/view/EyeWindow.h"
#include "gui/view/ImageSurface.h"
#include "gui/window/MainWindowWidgets.h"

namespace {

void releaseBlock(void* block) { qm::allocator().release(block); }

// A 24-bit image over a zeroed block of qm::allocator(), rows laid out as in the file. None
// when the block cannot be had.
std::unique_ptr<QImage> allocateBitmap(const QSize& size) {
    if (size.isEmpty()) return std::make_unique<QImage>();
    const int64_t rowBytes = qm::bmpRowBytes(size.width());
    const auto bytes = static_cast<std::size_t>(rowBytes * size.height());
    void* block = qm::allocator().allocate(bytes);
    if (!block) return nullptr;
    std::memset(block, 0, bytes);
    auto image = std::make_unique<QImage>(static_cast<uchar*>(block), size.width(), size.height(),
                                          static_cast<qsizetype>(rowBytes), QImage::Format_BGR888,
                                          &releaseBlock, block);
    if (image->isNull()) {  // the image did not take the block
        qm::allocator().release(block);
        return nullptr;
    }
    return image;
}

QColor qColourOf(qm::ColourRef colour) {
    return QColor(int(qm::redOf(colour)), int(qm::greenOf(colour)), int(qm::blueOf(colour)));
}

qm::ColourRef colourRefOf(const QColor& colour) {
    return qm::rgb(uint32_t(colour.red()), uint32_t(colour.green()), uint32_t(colour.blue()));
}

// Copies the pixels of `source` that fall on `target` with the source's top left corner at
// `at` in the target; the target holds blue, green, red bytes.
void copyPixels(const QImage& source, QPoint at, QImage& target) {
    const QRect area = QRect(at, source.size()) & target.rect();
    uchar* bits = target.bits();
    const qsizetype bytesPerLine = target.bytesPerLine();
    const bool plainRgb = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        uchar* out = bits + y * bytesPerLine + 3 * area.left();
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y - at.y()));
        for (int x = area.left(); x <= area.right(); ++x, out += 3) {
            const QRgb pixel = plainRgb ? in[x - at.x()] : source.pixel(x - at.x(), y - at.y());
            out[0] = uchar(qBlue(pixel));
            out[1] = uchar(qGreen(pixel));
            out[2] = uchar(qRed(pixel));
        }
    }
}

// While it lives, the surfaces are drawn at one image pixel per widget pixel, the picture the
// file holds; then at the screen's ratio again. The surfaces it is given are rendered in between.
class DrawnAtRatioOne {
public:
    explicit DrawnAtRatioOne(std::vector<qm::ImageSurface*> surfaces) : surfaces_(std::move(surfaces)) {
        for (qm::ImageSurface* surface : surfaces_) {
            overrides_.push_back(surface->pixelRatioOverride());
            surface->setPixelRatioOverride(1);
        }
    }
    ~DrawnAtRatioOne() {
        for (std::size_t i = 0; i < surfaces_.size(); ++i) {
            qm::ImageSurface* surface = surfaces_[i];
            surface->setPixelRatioOverride(overrides_[i]);
            if (surface->pixelRatio() == surface->wantedRatio()) continue;  // at ratio 1 nothing changed
            try {
                surface->render();
            } catch (...) {  // the next render of the surface tries again
            }
        }
    }
    DrawnAtRatioOne(const DrawnAtRatioOne&) = delete;
    DrawnAtRatioOne& operator=(const DrawnAtRatioOne&) = delete;

private:
    std::vector<qm::ImageSurface*> surfaces_;
    std::vector<int> overrides_;
};

}  // namespace

BitmapExport::BitmapExport(ViewWidgets& view, qm::ImageSurface& eyeSurface, EyeWindow& eyeWindow,
                           qm::ColourRef& viewBackground, FileDialogSetup& saveDialog, Dialogs& dialogs)
    : memoryReserve(qm::allocator().allocate(ReserveBytes)),
      exportBitmap(std::make_unique<QImage>()),
      view_(view),
      eyeSurface_(eyeSurface),
      eyeWindow_(eyeWindow),
      viewBackground_(viewBackground),
      saveDialog_(saveDialog),
      dialogs_(dialogs) {}

BitmapExport::~BitmapExport() {
    releaseReserve();
    exportBitmap.reset();
}

// ---------------------------------------------------------------------------------------------
// "Save to BMP (Should be slow)"

void BitmapExport::saveToBmp() {
    // The reserve makes room for the repaints and the bitmap while the export runs.
    releaseReserve();
    const std::optional<QString> fileName =
        dialogs_.saveFileName(saveDialog_.filter, saveDialog_.defaultSuffix, saveDialog_.lastDir);
    if (fileName) exportTo(*fileName);
    restoreReserve();
}

void BitmapExport::exportTo(const QString& fileName) {
    bool sized = false;
    bool copied = false;
    {
        // The file keeps one pixel per widget pixel on any screen.
        std::vector<qm::ImageSurface*> drawn{view_.viewSurface};
        if (eyeWindow_.shown()) drawn.push_back(&eyeSurface_);
        const DrawnAtRatioOne atRatioOne(std::move(drawn));
        sized = repaintAndSize();
        try {
            if (sized) copyView();
            copied = sized;
        } catch (...) {
            copied = false;
        }
    }
    if (!sized) {
        exportBitmap.reset();
        dialogs_.showMessage(MsgExportMemory, qm::BoxType::Error);
        return;
    }
    bool saved = false;
    try {
        // The name's suffix chooses the format; BMP unless it asks for PNG. Encoded in memory
        // first, so that the file is replaced as every writer of the program replaces one.
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        const bool encoded = copied && (fileName.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)
                                            ? exportBitmap->save(&buffer, "PNG")
                                            : qm::writeBmp24(*exportBitmap, buffer));
        saved = encoded && qm::replaceFileContent(QFile::encodeName(fileName).toStdString(), bytes.constData(),
                                                  static_cast<std::size_t>(bytes.size()))
                               .empty();
    } catch (...) {
        saved = false;
    }
    if (!saved) dialogs_.showMessage(MsgNotSavedTo + fileName.toUtf8().toStdString(), qm::BoxType::Error);
}

bool BitmapExport::repaintAndSize() {
    try {
        view_.viewSurface->render();
        if (eyeWindow_.shown()) eyeWindow_.repaintFully();
        return resizeBitmap();
    } catch (...) {
        return false;
    }
}

void BitmapExport::copyView() {
    QImage& bitmap = *exportBitmap;
    // Where the view's image falls short of the surface, the surface shows its background.
    const QColor background = qColourOf(viewBackground_);
    const QRect viewArea = QRect(QPoint(0, 0), view_.viewSurface->image().size()) & bitmap.rect();
    if (viewArea != bitmap.rect()) bitmap.fill(background);
    copyPixels(view_.viewSurface->image(), QPoint(0, 0), bitmap);
    if (eyeWindow_.shown()) {
        const QPoint at = eyeSurface_.mapTo(view_.viewArea, QPoint(0, 0)) - view_.viewSurface->pos();
        const QImage& eye = eyeSurface_.image();
        // Only the part of the eye's image that the surface shows.
        const QSize shownSize = eye.size().boundedTo(eyeSurface_.size());
        copyPixels(shownSize == eye.size() ? eye : eye.copy(QRect(QPoint(0, 0), shownSize)), at, bitmap);
    }
}

bool BitmapExport::resizeBitmap() {
    const QSize size = view_.viewSurface->size();
    if (exportBitmap && exportBitmap->size() == size) return true;
    std::unique_ptr<QImage> fresh = allocateBitmap(size);
    if (!fresh) {
        exportBitmap.reset();
        return false;
    }
    exportBitmap = std::move(fresh);
    return true;
}

// ---------------------------------------------------------------------------------------------
// The memory reserve

void BitmapExport::releaseReserve() {
    if (memoryReserve) qm::allocator().release(memoryReserve);
    memoryReserve = nullptr;
}

void BitmapExport::restoreReserve() {
    if (!memoryReserve) memoryReserve = qm::allocator().allocate(ReserveBytes);
    if (!memoryReserve) dialogs_.showMessage(MsgReserveLost, qm::BoxType::Warning);
}

// ---------------------------------------------------------------------------------------------
// The background colours. The colour dialog opens on the colour it changes, so that OK without a
// choice changes nothing; the state colour table keeps its colours.

void BitmapExport::changeBackground() {
    if (const std::optional<QColor> chosen = dialogs_.chooseColour(qColourOf(viewBackground_))) {
        lastChosenColour = *chosen;
        viewBackground_ = colourRefOf(*chosen);
    }
    QPalette palette = view_.viewArea->palette();
    palette.setColor(QPalette::Window, qColourOf(viewBackground_));
    view_.viewArea->setPalette(palette);
    view_.viewSurface->render();  // the main view's paint handler
}

void BitmapExport::changeEyeBackground() {
    if (const std::optional<QColor> chosen =
            dialogs_.chooseColour(qColourOf(eyeWindow_.eyeBackground))) {
        lastChosenColour = *chosen;
        eyeWindow_.eyeBackground = colourRefOf(*chosen);
    }
    eyeWindow_.repaintFully();
}

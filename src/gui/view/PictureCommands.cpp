#include "gui/view/PictureCommands.h"

#include <optional>

#include <QFile>

#include "gui/Dialogs.h"
#include "core/World.h"
#include "gui/Dialogs.h"
#include "core/RleWriter.h"
#include "core/WholePicture.h"
#include "gui/view/BitmapExport.h"
#include "gui/view/PicturePng.h"
#include "gui/view/WaitCursor.h"

PictureCommands::PictureCommands(const qm::World& world, const qm::StateColourTable& stateColours,
                                 const qm::ColourRef& viewBackground, Dialogs& dialogs)
    : world_(world), stateColours_(stateColours), viewBackground_(viewBackground), dialogs_(dialogs) {}

QString PictureCommands::pictureFilter(int32_t scale) {
    const QString what = scale <= 1 ? QStringLiteral("one pixel per square")
                                    : QStringLiteral("one pixel for %1 x %1 squares").arg(scale);
    return QStringLiteral("PNG pictures, %1 (*.png)|*.png|All files (*.*)|*.*").arg(what);
}

void PictureCommands::reportNotSaved(const QString& fileName, const char* reason) {
    dialogs_.showMessage(MsgNotSavedTo + fileName.toUtf8().toStdString() + " (" + reason + ")",
                               qm::BoxType::Error);
}

void PictureCommands::saveWholePicture() {
    const qm::SquareBox area = qm::paintedArea(world_);
    const std::optional<QString> fileName =
        dialogs_.saveFileName(pictureFilter(qm::fittingScale(area)), QStringLiteral("png"), pictureDir);
    if (!fileName) return;
    qm::WaitCursor hourglass;
    const qm::PicturePalette palette{viewBackground_, &stateColours_};
    const qm::PngOutcome outcome = qm::writeWholePicturePng(world_, palette, *fileName, 0);
    if (outcome.error != qm::PictureError::None) reportNotSaved(*fileName, qm::pictureErrorText(outcome.error));
    else if (!outcome.writeError.empty()) reportNotSaved(*fileName, outcome.writeError.c_str());
}

void PictureCommands::savePattern() {
    const std::optional<QString> fileName =
        dialogs_.saveFileName(QString::fromLatin1(PatternFileFilter), QStringLiteral("rle"), patternDir);
    if (!fileName) return;
    qm::WaitCursor hourglass;
    const std::string reason = qm::writeRle(world_, QFile::encodeName(*fileName).toStdString());
    if (!reason.empty()) reportNotSaved(*fileName, reason.c_str());
}

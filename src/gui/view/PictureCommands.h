#pragma once
// "Save whole picture..." and "Save pattern (RLE)...": the whole painted area from the grid and
// the store, as a PNG picture or an RLE pattern, whatever part of it the view shows.

#include <QString>

#include "core/PaintedArea.h"
#include "display/Colours.h"

class Dialogs;

namespace qm {
struct World;
}

inline constexpr const char* PatternFileFilter = "RLE patterns (*.rle)|*.rle|All files (*.*)|*.*";

class PictureCommands {
public:
    PictureCommands(const qm::World& world, const qm::StateColourTable& stateColours,
                    const qm::ColourRef& viewBackground, Dialogs& dialogs);

    void saveWholePicture();
    void savePattern();

    // The file dialog's first filter names the scale the picture will be drawn at.
    static QString pictureFilter(int32_t scale);

    QString pictureDir;  // where each dialog opens next
    QString patternDir;

private:
    void reportNotSaved(const QString& fileName, const char* reason);

    const qm::World& world_;
    const qm::StateColourTable& stateColours_;
    const qm::ColourRef& viewBackground_;
    Dialogs& dialogs_;
};

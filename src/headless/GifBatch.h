#pragma once
// The animation of a batch run (--gif): the whole painted area every --gif-every steps and at
// the end, every frame of the size and reduction the final area needs.

#include <optional>
#include <string>

#include "headless/RunOptions.h"
#include "core/AreaAnimation.h"
#include "core/PaintedArea.h"
#include "core/World.h"
#include "core/WorldFile.h"
#include "display/Colours.h"

namespace qmheadless {

// The painted area the run ends with, found by running it once without frames (runs are
// deterministic); nothing when the run cannot be set up.
std::optional<qm::SquareBox> finalPaintedArea(const RunOptions& options);

// Frames of one batch run in the colours of a window as it opens.
class GifBatch {
public:
    GifBatch(const RunOptions& options, const qm::SquareBox& finalArea, const qm::World& world,
             const qm::WorldDocument& document);
    // Adds the world as it stands; after a failure nothing more is written.
    void frame();
    // Ends the file; empty on success, else the reason (no file is left).
    std::string finish();

private:
    const qm::World& world_;
    qm::StateColourTable stateColours_{};
    qm::AreaAnimation animation_;
};

}  // namespace qmheadless

#include "headless/GifBatch.h"

#include "headless/HeadlessRun.h"

namespace qmheadless {
namespace {

// The first run's messages would repeat those of the run that counts.
class QuietMessages final : public qm::MessageSink {
public:
    qm::BoxResult showMessage(const std::string&, qm::BoxType, qm::BoxButtons) override { return qm::BoxResult::Ok; }
};

qm::PicturePalette defaultColours(qm::StateColourTable& table, const qm::World& w, int32_t spectrumItem) {
    qm::fillInitialStateColours(table, w.states);
    qm::rebuildStateColours(table, w.states, spectrumItem + 1, qm::DefaultViewBackground);
    return qm::PicturePalette{qm::DefaultViewBackground, &table};
}

}  // namespace

std::optional<qm::SquareBox> finalPaintedArea(const RunOptions& options) {
    QuietMessages messages;
    IdlePump pump;
    HeadlessSession session(messages, pump);
    if (!session.prepare(options)) return std::nullopt;
    session.run();
    return qm::paintedArea(session.world);
}

GifBatch::GifBatch(const RunOptions& options, const qm::SquareBox& finalArea, const qm::World& world,
                   const qm::WorldDocument& document)
    : world_(world),
      animation_(options.gifFile, qm::AreaFrames::fixed(finalArea, options.gifScale),
                 defaultColours(stateColours_, world, document.settings.spectrum), options.gifDelayMs) {}

void GifBatch::frame() { animation_.add(world_); }

std::string GifBatch::finish() {
    if (animation_.error() == qm::GifError::None) frame();
    const qm::GifError error = animation_.finish();
    return error == qm::GifError::None ? std::string() : qm::gifErrorText(error);
}

}  // namespace qmheadless

#include "headless/RunReport.h"

#include <cstdio>

namespace qmheadless {

int64_t movesOf(const qm::World& w) {
    const qm::RunCounters& c = w.counters;
    const int64_t whole = c.stepCount * c.antCount;
    const bool stoppedInsideStep = w.lastStop != qm::StopReason::MaxSteps &&
                                   w.lastStop != qm::StopReason::None &&
                                   w.lastStop != qm::StopReason::NoAnts && c.antCount > 0;
    return whole + (stoppedInsideStep ? c.currentAnt + 1 : 0);
}

RunReport reportOf(const qm::World& w, double seconds) {
    RunReport r;
    r.mode = w.mode();
    r.ants = w.counters.antCount;
    r.steps = w.counters.stepCount;
    r.moves = movesOf(w);
    r.filled = w.counters.filled;
    r.peak = w.counters.peakFilled;
    r.minX = w.counters.minX;
    r.maxX = w.counters.maxX;
    r.minY = w.counters.minY;
    r.maxY = w.counters.maxY;
    r.stop = w.lastStop;
    r.seconds = seconds;
    if (w.storeIndexed) r.storeBytes = static_cast<int64_t>(w.storeIndexed->StoreBytes());
    if (w.storeBW) r.storeBytes = static_cast<int64_t>(w.storeBW->StoreBytes());
    if (w.storeMulti) r.storeBytes = static_cast<int64_t>(w.storeMulti->StoreBytes());
    return r;
}

std::string formatReport(const RunReport& r) {
    const double rate = r.seconds > 0.0 ? static_cast<double>(r.moves - r.movesBefore) / r.seconds : 0.0;
    char line[512];
    std::snprintf(line, sizeof line,
                  "mode=%s ants=%d steps=%lld moves=%lld filled=%lld peak=%lld minx=%d maxx=%d miny=%d "
                  "maxy=%d stop=%s seconds=%.6f store_bytes=%lld moves_per_s=%lld",
                  qm::runModeName(r.mode), r.ants, static_cast<long long>(r.steps),
                  static_cast<long long>(r.moves), static_cast<long long>(r.filled),
                  static_cast<long long>(r.peak), r.minX, r.maxX, r.minY, r.maxY,
                  qm::stopReasonName(r.stop), r.seconds, static_cast<long long>(r.storeBytes),
                  static_cast<long long>(rate));
    return line;
}

}  // namespace qmheadless

#pragma once
// A message sink for the fuzz targets: counts the boxes and keeps the last one.

#include <string>

#include "core/Platform.h"

class CountingMessages final : public qm::MessageSink {
public:
    qm::BoxResult showMessage(const std::string& text, qm::BoxType type, qm::BoxButtons) override {
        ++shown;
        lastText = text;
        lastType = type;
        return qm::BoxResult::Ok;
    }
    int shown = 0;
    std::string lastText;
    // No target expects a confirmation, so a check of the type fails unless a box was shown.
    qm::BoxType lastType = qm::BoxType::Confirmation;
};

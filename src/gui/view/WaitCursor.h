#pragma once
// The hourglass while something long runs; the normal cursor again on every way out, or earlier
// through restore().

#include <QApplication>

namespace qm {

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { restore(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    void restore() {
        if (!shown_) return;
        shown_ = false;
        QApplication::restoreOverrideCursor();
    }

private:
    bool shown_ = true;
};

}  // namespace qm

#pragma once
// Moving the main view: pans by the move step, resets per axis, centres on an ant.
// Every command takes the eye window's view-centre marker away, changes the view offset and
// "Move X:" / "Move Y:", puts the marker back at the new centre and repaints the main view.

#include <cstdint>

class EyeWindow;
class MainView;
struct NavigationWidgets;

namespace qm {
struct World;
}

class Navigation {
public:
    Navigation(NavigationWidgets& ui, const qm::World& world, MainView& mainView, EyeWindow& eyeWindow);

    // Adds sx * step to the view offset X and sy * step to Y (sx, sy in -1, 0, 1).
    void pan(int sx, int sy);
    void resetX();
    void resetY();
    void center();
    void centerToAnt();  // "Center to Ant:": the ant numbered in antNumberEdit, clamped
    void previousAnt();  // "<<<<": wraps from the first ant to the last
    void nextAnt();      // ">>>>": wraps from the last ant to the first
    // Puts the view offset at (x, y) (clamped) as the pan buttons do: labels, marker, repaint.
    void moveTo(int64_t x, int64_t y);

    // Offsets stay within +-2147483647, so "Move X:" and "Move Y:" can always show -X and -Y.
    static int32_t clampOffset(int64_t value);

private:
    enum class AntChoice { Clamp, Previous, Next };
    void centreOnAnt(AntChoice choice);
    // Marker off, change, marker on, repaint.
    template <class Change>
    void moveView(Change&& change);
    void showX();
    void showY();

    NavigationWidgets& ui_;
    const qm::World& world_;
    MainView& mainView_;
    EyeWindow& eyeWindow_;
};

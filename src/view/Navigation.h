#pragma once
// Moving the main view: pans by the move step, resets per axis, centres on an ant.

class TForm1;

class Navigation {
public:
    explicit Navigation(TForm1& form);

    // Adds sx * step to the view offset X and sy * step to Y (sx, sy in -1, 0, 1).
    void pan(int sx, int sy);
    void resetX();
    void resetY();
    void center();
    void centerToAnt();
    void previousAnt();
    void nextAnt();

private:
    TForm1& form_;
};

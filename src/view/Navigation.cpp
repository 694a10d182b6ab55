#include "view/Navigation.h"

#include "app/MainForm/MainForm.h"

Navigation::Navigation(TForm1& form) : form_(form) {}

void Navigation::pan(int, int) {}
void Navigation::resetX() {}
void Navigation::resetY() {}
void Navigation::center() {}
void Navigation::centerToAnt() {}
void Navigation::previousAnt() {}
void Navigation::nextAnt() {}

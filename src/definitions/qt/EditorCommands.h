#pragma once
// Commands of the " Control " and " Definition " groups that edit the ant list and the
// "Max steps:" value, and open the settings dialog.

class TForm1;

class EditorCommands {
public:
    explicit EditorCommands(TForm1& form);

    void setting();          // "Setting": the settings dialog, modally; then the view repainted
    void add4Diagonal();
    void add4Axis();
    void clear();
    void load();
    void save();
    void maxStepsChange();   // "Max steps:" edited: validated against the step maximum, stored
    void almostUnlimited();  // "^^^ almost unlimited ^^^"
    void selectFile();       // "Select file"

private:
    TForm1& form_;
};

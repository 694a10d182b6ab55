#pragma once
// A framed group of radio buttons chosen by item index, laid out in columns.
// Choosing an item, by the user or by program, raises clicked() when the choice changes; items
// can be removed from the end while the program runs.

#include <QGroupBox>
#include <QStringList>
#include <vector>

class QButtonGroup;
class QRadioButton;

namespace qm {

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent = nullptr);

    int itemIndex() const;  // -1 when no item is chosen
    void setItemIndex(int index);
    int count() const { return static_cast<int>(buttons_.size()); }
    QRadioButton* item(int index) const;
    void removeLastItem();

signals:
    void clicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void choose(int index);
    void arrangeItems();

    QButtonGroup* group_;
    std::vector<QRadioButton*> buttons_;
    int columns_;
    int lastIndex_ = -1;
};

}  // namespace qm

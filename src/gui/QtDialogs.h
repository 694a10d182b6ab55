#pragma once
// The real dialogs: Qt's message box, file dialogs and colour dialog, and the desktop's
// handler for web addresses.

#include "gui/Dialogs.h"

class QWidget;

class QtDialogs final : public Dialogs {
public:
    // Dialogs are centred over `parent` once it is set.
    void setParent(QWidget* parent) { parent_ = parent; }

    qm::BoxResult showMessage(const std::string& text, qm::BoxType type,
                              qm::BoxButtons buttons = qm::BoxButtons::Ok) override;
    std::optional<QString> openFileName(const QString& filter, QString& lastDir) override;
    std::optional<QString> saveFileName(const QString& filter, const QString& defaultSuffix,
                                        QString& lastDir) override;
    std::optional<QColor> chooseColour(const QColor& initial) override;
    void openUrl(const QString& url) override;
    void showModal(QDialog& dialog) override;

private:
    QWidget* parent_ = nullptr;
};

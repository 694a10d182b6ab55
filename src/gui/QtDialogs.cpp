#include "gui/QtDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

QString toQtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i];
        const QString pattern = i + 1 < parts.size() ? parts[i + 1] : QString();
        // Qt reads the patterns from the parentheses; add them when the description lacks them.
        if (description.contains(QLatin1Char('(')) || pattern.isEmpty())
            entries << description;
        else
            entries << description + QStringLiteral(" (") + pattern.split(QLatin1Char(';')).join(QLatin1Char(' ')) +
                           QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

qm::BoxResult QtDialogs::showMessage(const std::string& text, qm::BoxType type, qm::BoxButtons buttons) {
    QMessageBox::Icon icon = QMessageBox::Critical;
    QString title = QApplication::applicationName();
    if (type == qm::BoxType::Warning) icon = QMessageBox::Warning;
    if (type == qm::BoxType::Confirmation) icon = QMessageBox::Question;
    QMessageBox box(icon, title, QString::fromUtf8(text.c_str()), QMessageBox::NoButton, parent_);
    QPushButton* no = nullptr;
    if (buttons == qm::BoxButtons::NoOk) no = box.addButton(QMessageBox::No);
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    box.setDefaultButton(ok);
    box.exec();
    // Closing the box without a button counts as "No" where "No" is offered.
    if (no && box.clickedButton() != ok) return qm::BoxResult::No;
    return qm::BoxResult::Ok;
}

std::optional<QString> QtDialogs::openFileName(const QString& filter, QString& lastDir) {
    const QString name = QFileDialog::getOpenFileName(parent_, QString(), lastDir, toQtFileFilter(filter));
    if (name.isEmpty()) return std::nullopt;
    lastDir = QFileInfo(name).absolutePath();
    return name;
}

std::optional<QString> QtDialogs::saveFileName(const QString& filter, const QString& defaultSuffix,
                                               QString& lastDir) {
    QFileDialog dialog(parent_, QString(), lastDir, toQtFileFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString name = dialog.selectedFiles().first();
    lastDir = QFileInfo(name).absolutePath();
    return name;
}

std::optional<QColor> QtDialogs::chooseColour(const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, parent_);
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
}

void QtDialogs::openUrl(const QString& url) { QDesktopServices::openUrl(QUrl(url)); }

void QtDialogs::showModal(QDialog& dialog) { dialog.exec(); }

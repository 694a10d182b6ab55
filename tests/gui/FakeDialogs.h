#pragma once
// The dialogs seam for tests: records every call and answers from a script.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QColor>
#include <QDialog>
#include <QString>

#include "gui/Dialogs.h"

struct RecordedBox {
    std::string text;
    qm::BoxType type;
    qm::BoxButtons buttons;
};

struct RecordedFileDialog {
    QString filter;
    QString defaultSuffix;  // empty for the open dialog
    QString lastDir;
};

class FakeDialogs final : public Dialogs {
public:
    qm::BoxResult showMessage(const std::string& text, qm::BoxType type, qm::BoxButtons buttons) override {
        boxes.push_back({text, type, buttons});
        if (onMessage) onMessage(boxes.back());
        if (boxAnswers.empty()) return qm::BoxResult::Ok;
        const qm::BoxResult answer = boxAnswers.front();
        boxAnswers.pop_front();
        return answer;
    }

    std::optional<QString> openFileName(const QString& filter, QString& lastDir) override {
        openDialogs.push_back({filter, QString(), lastDir});
        return next(openAnswers);
    }

    std::optional<QString> saveFileName(const QString& filter, const QString& defaultSuffix,
                                        QString& lastDir) override {
        saveDialogs.push_back({filter, defaultSuffix, lastDir});
        return next(saveAnswers);
    }

    std::optional<QColor> chooseColour(const QColor& initial) override {
        colourDialogs.push_back(initial);
        return next(colourAnswers);
    }

    void openUrl(const QString& url) override { urls.push_back(url); }

    void showModal(QDialog& dialog) override {
        modalDialogs.push_back(&dialog);
        if (onModal) onModal(dialog);
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> all;
        for (const RecordedBox& box : boxes) all.push_back(box.text);
        return all;
    }

    // What happened.
    std::vector<RecordedBox> boxes;
    std::vector<RecordedFileDialog> openDialogs;
    std::vector<RecordedFileDialog> saveDialogs;
    std::vector<QColor> colourDialogs;
    std::vector<QString> urls;
    std::vector<QDialog*> modalDialogs;

    // The script: answers in order; an empty queue answers OK / cancel.
    std::deque<qm::BoxResult> boxAnswers;
    std::deque<std::optional<QString>> openAnswers;
    std::deque<std::optional<QString>> saveAnswers;
    std::deque<std::optional<QColor>> colourAnswers;
    std::function<void(const RecordedBox&)> onMessage;  // runs while the "box" is open
    std::function<void(QDialog&)> onModal;              // stands in for the user in the dialog

private:
    template <class T>
    static std::optional<T> next(std::deque<std::optional<T>>& answers) {
        std::optional<T> answer;
        if (answers.empty()) return answer;
        answer.swap(answers.front());
        answers.pop_front();
        return answer;
    }
};

// The "Growth" window and the "Go to step" dialog, driven through real events: the lines follow
// the samples live, the pointer shows the values of the sample that a click then asks for, the
// axes switch, and the chart and its samples are saved.

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <algorithm>
#include <gtest/gtest.h>

#include "gui/timeline/GoToStepDialog.h"
#include "gui/timeline/GrowthChart.h"

namespace {

void addSamples(qm::RunSamples& samples, int64_t from, int64_t to) {
    for (int64_t k = from; k < to; ++k) {
        qm::RunSample s;
        s.steps = k * 100;
        s.filled = k * 3;
        s.peak = k * 3 + 1;
        s.minX = static_cast<int32_t>(-k / 7);
        s.maxX = static_cast<int32_t>(k / 5);
        s.maxY = static_cast<int32_t>(k / 2);
        s.seconds = static_cast<double>(k) / 100.0;
        samples.record(s);
    }
}

// A point of the plot area, `share` of its width from the left, halfway up.
QPoint plotPoint(qmgui::GrowthChart& window, double share) {
    auto* view = static_cast<QChartView*>(window.chartView());
    const QRectF area = view->chart()->plotArea();
    const QPointF scene = view->chart()->mapToScene(QPointF(area.left() + share * area.width(), area.center().y()));
    return view->mapFromScene(scene);
}

int64_t stepsShown(const QString& text) {
    return text.section(QStringLiteral("Steps: "), 1).section(QLatin1Char(' '), 0, 0).toLongLong();
}

}  // namespace

TEST(GrowthChart, FollowsTheRunAndAsksForTheStepUnderThePointer) {
    qm::RunSamples samples;
    addSamples(samples, 0, 3000);
    qmgui::GrowthChart window;
    window.setSamples(&samples);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Growth"));
    EXPECT_GT(window.drawnPoints(), 1000);
    EXPECT_LE(window.drawnPoints(), qmgui::GrowthChart::MostPoints);

    // Live: more samples are drawn without being asked, the lines thinned to the most points.
    const int before = window.drawnPoints();
    addSamples(samples, 3000, 9000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.drawnPoints() != before; }, 3000));
    EXPECT_GE(window.drawnPoints(), qmgui::GrowthChart::MostPoints / 2);
    EXPECT_LE(window.drawnPoints(), qmgui::GrowthChart::MostPoints);

    // What the pointer shows is what a click there asks for; further right asks a later step.
    QWidget* viewport = static_cast<QChartView*>(window.chartView())->viewport();
    QSignalSpy asked(&window, &qmgui::GrowthChart::stepRequested);
    int64_t previous = -1;
    for (double share : {0.2, 0.5, 0.9}) {
        const QPoint at = plotPoint(window, share);
        QTest::mouseMove(viewport, at);
        const QString shown = window.pointerText();
        ASSERT_TRUE(shown.startsWith(QStringLiteral("Steps: "))) << shown.toStdString();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
        ASSERT_EQ(asked.count(), 1);
        const int64_t steps = asked.takeFirst().at(0).toLongLong();
        EXPECT_EQ(steps, stepsShown(shown));
        EXPECT_EQ(steps % 100, 0) << "a sample's step";
        const auto* stepsAxis = qobject_cast<QValueAxis*>(
            static_cast<QChartView*>(window.chartView())->chart()->axes(Qt::Horizontal).front());
        ASSERT_NE(stepsAxis, nullptr);
        const double under = stepsAxis->min() + share * (stepsAxis->max() - stepsAxis->min());
        EXPECT_NEAR(static_cast<double>(steps), std::min(under, 899900.0), 0.02 * stepsAxis->max());
        const qm::RunSample& s = samples.all()[static_cast<std::size_t>(steps / 100)];
        EXPECT_TRUE(shown.contains(QStringLiteral("Filled: %1 ").arg(s.filled))) << shown.toStdString();
        EXPECT_TRUE(shown.contains(QStringLiteral("Box: %1 x %2").arg(s.boxWidth()).arg(s.boxHeight())));
        EXPECT_GT(steps, previous);
        previous = steps;
    }

    // Each axis switches on its own; a log axis leaves out the start's zero.
    auto* logSteps = window.findChild<QCheckBox*>();
    ASSERT_NE(logSteps, nullptr);
    QTest::mouseClick(logSteps, Qt::LeftButton);
    EXPECT_TRUE(window.logSteps());
    EXPECT_FALSE(window.logValues());
    auto* view = static_cast<QChartView*>(window.chartView());
    EXPECT_EQ(view->chart()->axes(Qt::Horizontal).front()->type(), QAbstractAxis::AxisTypeLogValue);
    EXPECT_EQ(view->chart()->axes(Qt::Vertical).front()->type(), QAbstractAxis::AxisTypeValue);

    // Saved through the buttons: the picture of the chart and every sample.
    QTemporaryDir dir;
    QString next;
    window.setFileNameAsker([&](const QString&, const QString&) { return next; });
    QString problem;
    window.setProblemShower([&](const QString& text) { problem = text; });
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        const bool png = button->text().contains(QStringLiteral("PNG"));
        next = dir.filePath(png ? QStringLiteral("growth.png") : QStringLiteral("growth.csv"));
        QTest::mouseClick(button, Qt::LeftButton);
    }
    EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    const QImage image(dir.filePath(QStringLiteral("growth.png")));
    EXPECT_EQ(image.size(), view->size());
    QFile csv(dir.filePath(QStringLiteral("growth.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(samples.size() + 2)) << "header, samples, empty end";
    EXPECT_EQ(lines[0], QByteArray(qm::sampleCsvHeader()));
    EXPECT_EQ(lines[1], QByteArray::fromStdString(qm::sampleCsvLine(samples.all().front())));

    next = dir.filePath(QStringLiteral("no/such/dir/growth.csv"));
    QTest::mouseClick(window.findChildren<QPushButton*>().back(), Qt::LeftButton);
    EXPECT_TRUE(problem.startsWith(QStringLiteral("ERROR: Cannot save "))) << problem.toStdString();
}

TEST(GoToStepDialog, OkOnlyForAStepInRange) {
    qmgui::GoToStepDialog dialog(500, 10000);
    dialog.show();
    EXPECT_EQ(dialog.step(), 500);
    for (const auto& [text, wanted] : std::vector<std::pair<QString, std::optional<int64_t>>>{
             {QStringLiteral("1234"), 1234}, {QStringLiteral("0"), 0}, {QStringLiteral("10000"), 10000},
             {QStringLiteral("10001"), std::nullopt}, {QStringLiteral("-1"), std::nullopt},
             {QStringLiteral("12x"), std::nullopt}, {QString(), std::nullopt}}) {
        dialog.field()->selectAll();
        QTest::keyClick(dialog.field(), Qt::Key_Delete);
        QTest::keyClicks(dialog.field(), text);
        EXPECT_EQ(dialog.step(), wanted) << text.toStdString();
        EXPECT_EQ(dialog.okButton()->isEnabled(), wanted.has_value()) << text.toStdString();
    }
    dialog.field()->selectAll();
    QTest::keyClicks(dialog.field(), QStringLiteral("777"));
    QTest::keyClick(dialog.field(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.step(), 777);
}

#pragma once
// The "Growth" window: filled, peak, box width and box height of a run against its steps, drawn
// from the run's samples a few times a second at most while it is shown. Each axis is linear or
// logarithmic; the values under the pointer are shown below the chart; a click asks for the step
// of the sample nearest to it. It reads the samples and nothing else of the run.

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "core/RunSamples.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;
class QChart;
class QLineSeries;

namespace qmgui {

class GrowthChart : public QWidget {
    Q_OBJECT
public:
    // Redraws are at least this far apart.
    static constexpr int RedrawMilliseconds = 250;
    // Points drawn per line at most: the samples are picked evenly from the run.
    static constexpr int MostPoints = 2000;

    explicit GrowthChart(QWidget* parent = nullptr);

    // The samples to draw (owned by the run's timeline; null for none).
    void setSamples(const qm::RunSamples* samples);
    // Draws the samples now (after a jump, a new run, an opened world).
    void refresh();

    // Writes the chart as a PNG image / the samples as CSV; empty on success, else the reason.
    QString savePng(const QString& path);
    QString saveCsv(const QString& path) const;

    // How the save buttons ask for a file name (empty: cancelled) and show a problem; the
    // defaults are Qt's file dialog and message box.
    using FileNameAsker = std::function<QString(const QString& caption, const QString& filter)>;
    using ProblemShower = std::function<void(const QString& text)>;
    void setFileNameAsker(FileNameAsker asker) { askFileName_ = std::move(asker); }
    void setProblemShower(ProblemShower shower) { showProblem_ = std::move(shower); }

    // The sample nearest to `steps` (null without samples).
    const qm::RunSample* nearestSample(double steps) const;
    // The text below the chart: the values of the sample under the pointer.
    QString pointerText() const;
    QWidget* chartView() const;
    int drawnPoints() const;  // per line, as last drawn
    bool logSteps() const;
    bool logValues() const;

signals:
    void stepRequested(qint64 steps);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    friend class GrowthChartView;
    void redrawIfChanged();
    void rebuildAxes();
    void pointerAt(const QPointF& position);
    void clickedAt(const QPointF& position);
    void saveImageClicked();
    void saveSamplesClicked();

    const qm::RunSamples* samples_ = nullptr;
    QChart* chart_;
    QWidget* view_;
    QLineSeries* lines_[4];
    QCheckBox* logStepsBox_;
    QCheckBox* logValuesBox_;
    QLabel* pointerLabel_;
    QPushButton* savePngButton_;
    QPushButton* saveCsvButton_;
    QTimer* timer_;
    FileNameAsker askFileName_;
    ProblemShower showProblem_;
    std::size_t drawnSize_ = 0;
    int64_t drawnLastStep_ = -1;
    int drawnPoints_ = 0;
};

}  // namespace qmgui

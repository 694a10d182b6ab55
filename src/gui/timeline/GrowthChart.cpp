#include "gui/timeline/GrowthChart.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace qmgui {

// The chart's view hands the pointer and the clicks to the window.
class GrowthChartView final : public QChartView {
public:
    GrowthChartView(QChart* chart, GrowthChart& window) : QChartView(chart), window_(window) {
        setMouseTracking(true);
        setRenderHint(QPainter::Antialiasing, false);
    }

protected:
    void mouseMoveEvent(QMouseEvent* event) override {
        window_.pointerAt(chart()->mapToValue(chart()->mapFromScene(mapToScene(event->position().toPoint()))));
        QChartView::mouseMoveEvent(event);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton &&
            chart()->plotArea().contains(chart()->mapFromScene(mapToScene(event->position().toPoint())))) {
            window_.clickedAt(chart()->mapToValue(chart()->mapFromScene(mapToScene(event->position().toPoint()))));
            event->accept();
            return;
        }
        QChartView::mousePressEvent(event);
    }

private:
    GrowthChart& window_;
};

namespace {

const char* const LineNames[4] = {"Filled", "Peak", "Box width", "Box height"};

double valueOf(const qm::RunSample& s, int line) {
    switch (line) {
        case 0: return static_cast<double>(s.filled);
        case 1: return static_cast<double>(s.peak);
        case 2: return static_cast<double>(s.boxWidth());
        default: return static_cast<double>(s.boxHeight());
    }
}

// A step of 1, 2 or 5 times a power of ten giving four to ten ticks up to `top`.
double roundStep(double top) {
    const double rough = std::max(top, 1.0) / 5.0;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= rough) return m * power;
    return 10.0 * power;
}

}  // namespace

GrowthChart::GrowthChart(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Growth"));
    chart_ = new QChart;
    chart_->legend()->setVisible(true);
    chart_->legend()->setAlignment(Qt::AlignBottom);
    for (int k = 0; k < 4; ++k) {
        lines_[k] = new QLineSeries(chart_);
        lines_[k]->setName(QString::fromLatin1(LineNames[k]));
        chart_->addSeries(lines_[k]);
    }
    auto* view = new GrowthChartView(chart_, *this);
    view->setObjectName(QStringLiteral("chartView"));
    view_ = view;
    logStepsBox_ = new QCheckBox(QStringLiteral("Log steps"), this);
    logStepsBox_->setObjectName(QStringLiteral("logStepsCheck"));
    logValuesBox_ = new QCheckBox(QStringLiteral("Log values"), this);
    logValuesBox_->setObjectName(QStringLiteral("logValuesCheck"));
    savePngButton_ = new QPushButton(QStringLiteral("Save PNG..."), this);
    savePngButton_->setObjectName(QStringLiteral("savePngButton"));
    saveCsvButton_ = new QPushButton(QStringLiteral("Save CSV..."), this);
    saveCsvButton_->setObjectName(QStringLiteral("saveCsvButton"));
    pointerLabel_ = new QLabel(this);
    pointerLabel_->setObjectName(QStringLiteral("pointerValuesLabel"));
    pointerLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* controls = new QHBoxLayout;
    controls->addWidget(logStepsBox_);
    controls->addWidget(logValuesBox_);
    controls->addStretch(1);
    controls->addWidget(savePngButton_);
    controls->addWidget(saveCsvButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addWidget(pointerLabel_);
    layout->addLayout(controls);
    resize(640, 420);

    timer_ = new QTimer(this);
    timer_->setInterval(RedrawMilliseconds);
    connect(timer_, &QTimer::timeout, this, &GrowthChart::redrawIfChanged);
    connect(logStepsBox_, &QCheckBox::toggled, this, &GrowthChart::refresh);
    connect(logValuesBox_, &QCheckBox::toggled, this, &GrowthChart::refresh);
    connect(savePngButton_, &QPushButton::clicked, this, &GrowthChart::saveImageClicked);
    connect(saveCsvButton_, &QPushButton::clicked, this, &GrowthChart::saveSamplesClicked);

    askFileName_ = [this](const QString& caption, const QString& filter) {
        return QFileDialog::getSaveFileName(this, caption, QString(), filter);
    };
    showProblem_ = [this](const QString& text) { QMessageBox::warning(this, QStringLiteral("Growth"), text); };
    rebuildAxes();
}

QWidget* GrowthChart::chartView() const { return view_; }
int GrowthChart::drawnPoints() const { return drawnPoints_; }
bool GrowthChart::logSteps() const { return logStepsBox_->isChecked(); }
bool GrowthChart::logValues() const { return logValuesBox_->isChecked(); }
QString GrowthChart::pointerText() const { return pointerLabel_->text(); }

void GrowthChart::setSamples(const qm::RunSamples* samples) {
    samples_ = samples;
    refresh();
}

void GrowthChart::showEvent(QShowEvent* event) {
    refresh();
    timer_->start();
    QWidget::showEvent(event);
}

void GrowthChart::hideEvent(QHideEvent* event) {
    timer_->stop();
    QWidget::hideEvent(event);
}

// Live drawing costs only when the run has moved on since the last redraw.
void GrowthChart::redrawIfChanged() {
    const std::size_t size = samples_ ? samples_->size() : 0;
    const int64_t lastStep = size ? samples_->last().steps : -1;
    if (size != drawnSize_ || lastStep != drawnLastStep_) refresh();
}

void GrowthChart::refresh() {
    rebuildAxes();
    const bool logX = logSteps();
    const bool logY = logValues();
    QList<QPointF> points[4];
    double maxX = 1.0, maxY = 1.0;
    const std::size_t size = samples_ ? samples_->size() : 0;
    if (size) {
        const std::vector<qm::RunSample>& all = samples_->all();
        const std::size_t stride = (size + MostPoints - 1) / MostPoints;
        for (std::size_t i = 0; i < size; i += stride) {
            // The newest sample is always drawn, so the lines end where the run stands.
            const qm::RunSample& s = i + stride >= size ? all[size - 1] : all[i];
            const double x = static_cast<double>(s.steps);
            if (logX && x < 1.0) continue;
            maxX = std::max(maxX, x);
            for (int k = 0; k < 4; ++k) {
                const double y = valueOf(s, k);
                if (logY && y < 1.0) continue;
                maxY = std::max(maxY, y);
                points[k].append(QPointF(x, y));
            }
        }
    }
    drawnPoints_ = 0;
    for (int k = 0; k < 4; ++k) {
        lines_[k]->replace(points[k]);
        drawnPoints_ = std::max(drawnPoints_, static_cast<int>(points[k].size()));
    }
    // Fixed ticks while the range changes: the old interval over a range grown a thousandfold
    // would lay out a tick item for every interval.
    for (QAbstractAxis* axis : chart_->axes())
        if (auto* linear = qobject_cast<QValueAxis*>(axis)) linear->setTickType(QValueAxis::TicksFixed);
    chart_->axes(Qt::Horizontal).front()->setRange(logX ? 1.0 : 0.0, maxX);
    chart_->axes(Qt::Vertical).front()->setRange(logY ? 1.0 : 0.0, logY ? maxY * 1.5 : maxY * 1.05);
    // Round ticks on linear axes (0, 5000, 10000, ...) over the data's own range.
    for (QAbstractAxis* axis : chart_->axes())
        if (auto* linear = qobject_cast<QValueAxis*>(axis)) {
            linear->setTickType(QValueAxis::TicksDynamic);
            linear->setTickAnchor(0.0);
            linear->setTickInterval(roundStep(linear->max()));
        }
    drawnSize_ = size;
    drawnLastStep_ = size ? samples_->last().steps : -1;
}

// Axes of the kind each check box asks for; unchanged kinds are kept.
void GrowthChart::rebuildAxes() {
    const bool logX = logSteps();
    const bool logY = logValues();
    auto isLog = [](QAbstractAxis* axis) { return axis->type() == QAbstractAxis::AxisTypeLogValue; };
    auto make = [this](bool log, const QString& title) -> QAbstractAxis* {
        if (log) {
            auto* axis = new QLogValueAxis(this);
            axis->setBase(10.0);
            axis->setLabelFormat(QStringLiteral("%g"));
            axis->setMinorTickCount(-1);
            axis->setTitleText(title);
            return axis;
        }
        auto* axis = new QValueAxis(this);
        axis->setLabelFormat(QStringLiteral("%.0f"));
        axis->setTitleText(title);
        return axis;
    };
    const QList<QAbstractAxis*> horizontal = chart_->axes(Qt::Horizontal);
    const QList<QAbstractAxis*> vertical = chart_->axes(Qt::Vertical);
    const bool keepX = !horizontal.isEmpty() && isLog(horizontal.front()) == logX;
    const bool keepY = !vertical.isEmpty() && isLog(vertical.front()) == logY;
    if (keepX && keepY) return;
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        axis->deleteLater();
    }
    QAbstractAxis* x = make(logX, QStringLiteral("Steps"));
    QAbstractAxis* y = make(logY, QStringLiteral("Squares"));
    chart_->addAxis(x, Qt::AlignBottom);
    chart_->addAxis(y, Qt::AlignLeft);
    for (QLineSeries* line : lines_) {
        line->clear();  // points a log axis cannot take are left out when they are drawn again
        line->attachAxis(x);
        line->attachAxis(y);
    }
}

const qm::RunSample* GrowthChart::nearestSample(double steps) const {
    if (!samples_ || samples_->empty()) return nullptr;
    const std::vector<qm::RunSample>& all = samples_->all();
    auto after = std::lower_bound(all.begin(), all.end(), steps,
                                  [](const qm::RunSample& s, double k) { return static_cast<double>(s.steps) < k; });
    if (after == all.end()) return &all.back();
    if (after == all.begin()) return &*after;
    const auto before = after - 1;
    return steps - static_cast<double>(before->steps) <= static_cast<double>(after->steps) - steps ? &*before : &*after;
}

void GrowthChart::pointerAt(const QPointF& position) {
    const qm::RunSample* s = nearestSample(position.x());
    if (!s) {
        pointerLabel_->clear();
        return;
    }
    pointerLabel_->setText(QStringLiteral("Steps: %1   Filled: %2   Peak: %3   Box: %4 x %5")
                               .arg(s->steps)
                               .arg(s->filled)
                               .arg(s->peak)
                               .arg(s->boxWidth())
                               .arg(s->boxHeight()));
}

void GrowthChart::clickedAt(const QPointF& position) {
    if (const qm::RunSample* s = nearestSample(position.x())) emit stepRequested(s->steps);
}

QString GrowthChart::savePng(const QString& path) {
    const QPixmap image = view_->grab();
    if (image.isNull() || !image.save(path, "PNG")) return QStringLiteral("cannot write the file");
    return {};
}

QString GrowthChart::saveCsv(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return QStringLiteral("cannot write the file");
    QByteArray text = QByteArray(qm::sampleCsvHeader()) + '\n';
    if (samples_)
        for (const qm::RunSample& s : samples_->all()) text += QByteArray::fromStdString(qm::sampleCsvLine(s)) + '\n';
    if (file.write(text) != text.size() || !file.flush()) return QStringLiteral("cannot write the file (disk full?)");
    return {};
}

void GrowthChart::saveImageClicked() {
    const QString path = askFileName_(QStringLiteral("Save growth chart"), QStringLiteral("PNG image (*.png)"));
    if (path.isEmpty()) return;
    const QString reason = savePng(path);
    if (!reason.isEmpty()) showProblem_(QStringLiteral("ERROR: Cannot save ") + path + QStringLiteral(": ") + reason);
}

void GrowthChart::saveSamplesClicked() {
    const QString path = askFileName_(QStringLiteral("Save samples"), QStringLiteral("CSV file (*.csv)"));
    if (path.isEmpty()) return;
    const QString reason = saveCsv(path);
    if (!reason.isEmpty()) showProblem_(QStringLiteral("ERROR: Cannot save ") + path + QStringLiteral(": ") + reason);
}

}  // namespace qmgui

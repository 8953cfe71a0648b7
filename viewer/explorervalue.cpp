// The k or threshold explorer.
#include "explorervalue.h"

#include "contracts.h"
#include "imageload.h"
#include "operations.h"
#include "preview.h"
#include "prompt.h"
#include "quality.h"
#include "readouts.h"
#include "speech.h"
#include "views.h"

#include <QChart>
#include <QChartView>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QLocale>
#include <QLogValueAxis>
#include <QMessageBox>
#include <QPointer>
#include <QPromise>
#include <QPushButton>
#include <QScatterSeries>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace viewer {

namespace {

// Slider steps a decade: finer than the eye tells apart on the picture.
constexpr int kStepsPerDecade = 50;

// The value as the student reads and types it, so that what is shown, what the field says and
// what the tool is answered are one number.
double asTyped(double value)
{
    return restore::parseNumber(restore::formatNumber(value)).value_or(value);
}

// The values in the order the sweep takes them: every eighth first, then the ones between,
// so that the curve's whole shape is there early and fills in.
std::vector<double> fillingOrder(const std::vector<double> &values)
{
    std::vector<double> order;
    std::vector<bool> taken(values.size());
    for (size_t stride = 8; stride >= 1; stride /= 2)
        for (size_t i = 0; i < values.size(); i += stride)
            if (!taken[i]) {
                taken[i] = true;
                order.push_back(values[i]);
            }
    return order;
}

QString spanish(double value)
{
    return QString::fromStdString(restore::formatNumber(value));
}

} // namespace

ValueExplorer::ValueExplorer(report::Explorable result, platform::ProcessStarter &starter,
                             QWidget *parent)
    : QWidget(parent)
    , m_result(std::move(result))
    , m_name(restore::valueName(m_result.deconvolution->method))
    , m_starter(starter)
{
    const report::Deconvolution &made = *m_result.deconvolution;
    const QString name = QString::fromLatin1(m_name);
    const QString file = QFile::decodeName(m_result.result.filename().c_str());
    setWindowTitle(tr("Explorar %1 — %2").arg(name, file));
    setAttribute(Qt::WA_DeleteOnClose);

    // The input is needed only until it is transformed: a 12-megapixel picture in double
    // precision is 96 MB.
    m_blurred = restore::prepare(std::move(m_result.deconvolution->distorted), made.psf);
    m_advised = made.advised ? *made.advised : restore::advisedValue(made.method, m_blurred);
    const std::vector<double> values = restore::sweepValues(m_advised, made.own);
    m_low = values[1];
    m_high = values.back();

    m_picture = pictureLabel(tr("Imagen restaurada"));
    m_picture->setMinimumSize(320, 320);

    auto *chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    m_line = new QLineSeries;
    m_line->setName(tr("PSNR"));
    chart->addSeries(m_line);
    m_current = new QLineSeries;
    m_current->setName(tr("Actual"));
    m_current->setPen(QPen(Qt::gray, 1.5, Qt::DashLine));
    chart->addSeries(m_current);
    // A line that moves with the slider needs no entry of its own.
    chart->legend()->markers(m_current).constFirst()->setVisible(false);
    // The best drawn first and largest: the advice and the result's own value, often on it,
    // stay visible on top.
    const QString markNames[3] = {tr("Del resultado"), tr("Aconsejada"), tr("Mejor")};
    const QColor markColours[3] = {Qt::blue, Qt::darkGreen, Qt::red};
    const qreal markSizes[3] = {9, 12, 18};
    for (int i : {2, 1, 0}) {
        m_marks[i] = new QScatterSeries;
        m_marks[i]->setName(markNames[i]);
        m_marks[i]->setColor(markColours[i]);
        m_marks[i]->setMarkerSize(markSizes[i]);
        chart->addSeries(m_marks[i]);
    }
    // Decimal commas on the axes, as everywhere else in the program.
    chart->setLocale(QLocale(QLocale::Spanish, QLocale::Spain));
    chart->setLocalizeNumbers(true);
    auto *xAxis = new QLogValueAxis;
    xAxis->setTitleText(name);
    xAxis->setLabelFormat(QStringLiteral("%.2g"));
    xAxis->setRange(m_low, m_high);
    auto *yAxis = new QValueAxis;
    yAxis->setTitleText(tr("PSNR (dB)"));
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);
    for (QAbstractSeries *series : chart->series()) {
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);
    }
    m_chartView = new QChartView(chart);
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setMinimumSize(360, 280);
    m_chartView->setFocusPolicy(Qt::StrongFocus);
    m_chartView->setAccessibleName(tr("Curva de PSNR según %1").arg(name));

    m_slider = new QSlider(Qt::Horizontal);
    m_slider->setRange(0, int(std::lround(std::log10(m_high / m_low) * kStepsPerDecade)));
    m_slider->setPageStep(kStepsPerDecade / 5);
    m_slider->setAccessibleName(tr("%1, en escala logarítmica").arg(name));
    m_field = new QLineEdit;
    m_field->setAccessibleName(tr("Valor de %1").arg(name));
    m_field->setMaximumWidth(140);
    auto *fieldLabel = new QLabel(tr("&%1:").arg(name));
    fieldLabel->setBuddy(m_field);
    m_readout = namedLabel(tr("Medida"));
    m_status = namedLabel(tr("Estado"));
    m_status->setWordWrap(true);
    m_use = namedButton(tr("&Usar este valor"));
    if (m_result.made.operation)
        m_use->setAccessibleDescription(
            tr("Vuelve a hacer %1 con %2 y este valor")
                .arg(file,
                     QString::fromLatin1(
                         tools::contract(m_result.made.operation->first.tool).program)));
    QPushButton *close = namedButton(tr("&Cerrar"));

    auto *top = new QHBoxLayout;
    top->addWidget(m_picture, 3);
    top->addWidget(m_chartView, 2);
    auto *controls = new QHBoxLayout;
    controls->addWidget(fieldLabel);
    controls->addWidget(m_slider, 1);
    controls->addWidget(m_field);
    controls->addWidget(m_readout);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_status, 1);
    buttons->addWidget(m_use);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(controls);
    layout->addLayout(buttons);

    connect(m_slider, &QSlider::valueChanged, this, &ValueExplorer::moveSlider);
    connect(m_slider, &QSlider::sliderReleased, this, &ValueExplorer::drawWhole);
    connect(m_field, &QLineEdit::returnPressed, this, &ValueExplorer::takeField);
    connect(m_use, &QPushButton::clicked, this, &ValueExplorer::useValue);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(&m_drawing, &LatestDrawing::drawn, this, &ValueExplorer::showDrawn);
    connect(&m_sweeping, &QFutureWatcherBase::resultsReadyAt, this, &ValueExplorer::addRows);
    m_redraw = new QTimer(this);
    m_redraw->setSingleShot(true);
    m_redraw->setInterval(150);
    connect(m_redraw, &QTimer::timeout, this, &ValueExplorer::drawCurve);
    connect(&m_sweeping, &QFutureWatcherBase::finished, this, &ValueExplorer::drawCurve);

    if (m_result.truth)
        startCurve();
    else
        m_status->setText(m_result.noTruth);
    resize(1100, 640);
    setValue(made.own);
    m_slider->setFocus();
}

ValueExplorer::~ValueExplorer()
{
    m_sweeping.cancel();
    m_sweeping.waitForFinished();
}

bool ValueExplorer::curveDone() const
{
    return m_sweeping.isFinished();
}

bool ValueExplorer::pictureCurrent() const
{
    return m_shown == m_value && !m_drawing.busy();
}

QString ValueExplorer::valueText(double value) const
{
    return QStringLiteral("%1 = %2").arg(QString::fromLatin1(m_name), spanish(value));
}

// The sweep on a worker, each row handed over as soon as it is measured; closing the window
// stops it at the next row.
void ValueExplorer::startCurve()
{
    const std::vector<double> order
        = fillingOrder(restore::sweepValues(m_advised, m_result.deconvolution->own));
    m_sweeping.setFuture(
        QtConcurrent::run([order, method = m_result.deconvolution->method, blurred = &m_blurred,
                           truth = &*m_result.truth](QPromise<restore::SweepRow> &promise) {
            struct Stopped
            {
            };
            std::mutex handing;
            try {
                // The chart shows PSNR alone: SSIM would double the cost.
                restore::sweep(method, *blurred, *truth, order, 0, restore::Measures::PsnrOnly,
                               [&](const restore::SweepRow &row) {
                                   if (promise.isCanceled())
                                       throw Stopped {};
                                   const std::lock_guard one(handing);
                                   promise.addResult(row);
                               });
            } catch (const Stopped &) {
            }
        }));
    m_status->setText(tr("Calculando la curva…"));
}

void ValueExplorer::addRows(int first, int end)
{
    for (int i = first; i < end; ++i)
        addRow(m_sweeping.resultAt(i));
    // A chart laid out again for every row would cost as much as the rows themselves.
    if (!m_redraw->isActive())
        m_redraw->start();
}

void ValueExplorer::addRow(const restore::SweepRow &row)
{
    const auto at = std::lower_bound(
        m_rows.begin(), m_rows.end(), row,
        [](const restore::SweepRow &a, const restore::SweepRow &b) { return a.value < b.value; });
    if (at == m_rows.end() || at->value != row.value)
        m_rows.insert(at, row);
}

void ValueExplorer::drawCurve()
{
    QList<QPointF> points;
    double low = INFINITY, high = -INFINITY;
    for (const restore::SweepRow &row : m_rows)
        if (row.value > 0.0 && std::isfinite(row.psnr)) {
            points << QPointF(row.value, row.psnr);
            low = std::min(low, row.psnr);
            high = std::max(high, row.psnr);
        }
    m_line->replace(points);
    if (low <= high) {
        auto *yAxis = static_cast<QValueAxis *>(m_line->attachedAxes().at(1));
        yAxis->setRange(std::floor(low - 0.5), std::ceil(high + 0.5));
    }
    markCurve();
    markCurrent();
}

void ValueExplorer::markCurrent()
{
    const auto *yAxis = static_cast<QValueAxis *>(m_line->attachedAxes().at(1));
    m_current->clear();
    if (m_value > 0.0 && !m_rows.empty())
        m_current->append({QPointF(m_value, yAxis->min()), QPointF(m_value, yAxis->max())});
}

// The three marks on the rows there are so far: the best one moves as the curve fills.
void ValueExplorer::markCurve()
{
    const auto rowAt = [this](double value) -> const restore::SweepRow * {
        for (const restore::SweepRow &row : m_rows)
            if (row.value == value && value > 0.0 && std::isfinite(row.psnr))
                return &row;
        return nullptr;
    };
    const restore::SweepRow *best = nullptr;
    for (const restore::SweepRow &row : m_rows)
        if (row.value > 0.0 && (!best || row.psnr > best->psnr))
            best = &row;
    const restore::SweepRow *marked[3]
        = {rowAt(m_result.deconvolution->own), rowAt(m_advised), best};
    for (int i = 0; i < 3; ++i) {
        m_marks[i]->clear();
        if (marked[i])
            m_marks[i]->append(marked[i]->value, marked[i]->psnr);
    }
    if (curveDone() && best) {
        const QString done = tr("Curva lista: la mejor %1 es %2 (%3 dB); la aconsejada, %4.")
                                 .arg(QString::fromLatin1(m_name), spanish(best->value),
                                      picture::spanishNumber(best->psnr, 2), spanish(m_advised));
        m_status->setText(done);
        m_chartView->setAccessibleDescription(done);
    }
}

void ValueExplorer::setValue(double value)
{
    m_value = asTyped(std::max(value, 0.0));
    m_field->setText(spanish(m_value));
    {
        const QSignalBlocker still(m_slider);
        m_slider->setValue(
            m_value > 0.0 ? int(std::lround(std::log10(m_value / m_low) * kStepsPerDecade)) : 0);
    }
    drawWhole();
}

void ValueExplorer::moveSlider(int position)
{
    m_value = asTyped(m_low * std::pow(10.0, double(position) / kStepsPerDecade));
    m_field->setText(spanish(m_value));
    markCurrent();
    if (m_slider->isSliderDown())
        drawPreview();
    else
        drawWhole();
}

void ValueExplorer::takeField()
{
    const std::optional<double> typed = restore::parseNumber(m_field->text().toStdString());
    if (!typed || *typed < 0.0) {
        const QString why
            = tr("«%1» no es un valor de %2: escriba un número no negativo, como %3.")
                  .arg(m_field->text(), QString::fromLatin1(m_name), spanish(m_advised));
        m_status->setText(why);
        speak(this, why);
        return;
    }
    setValue(*typed);
}

// At the size the picture is shown, in the window's own thread: it follows the hand.
void ValueExplorer::drawPreview()
{
    const QSize size = m_picture->size() * m_picture->devicePixelRatio();
    if (size != m_smallSize) {
        m_small = restore::shrunk(m_blurred, size.width(), size.height());
        m_smallSize = size;
    }
    Drawn drawn;
    drawn.picture
        = picture::eightBit(restore::restoreWith(m_result.deconvolution->method, m_small, m_value));
    showDrawn(drawn);
}

void ValueExplorer::drawWhole()
{
    const QSize size = m_picture->size() * m_picture->devicePixelRatio();
    m_drawing.request([method = m_result.deconvolution->method, blurred = &m_blurred,
                       truth = m_result.truth ? &*m_result.truth : nullptr, value = m_value, size] {
        // Transformed back in place and rounded straight into the picture: a 12-megapixel
        // result costs its spectrum and its 8 bits, no image in double precision.
        img::SpectrumF work;
        const restore::Rows rows = restore::restoreInto(method, *blurred, value, work);
        Drawn drawn;
        drawn.picture = QImage(work.width, work.height, QImage::Format_Grayscale8);
        drawn.psnr
            = restore::writtenLevels(rows, work.width, work.height, truth, drawn.picture.bits(),
                                     size_t(drawn.picture.bytesPerLine()));
        work = img::SpectrumF();
        drawn.whole = true;
        drawn.picture = boxReduced(drawn.picture, size)
                            .scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        drawn.value = value;
        return drawn;
    });
    m_shown = -1.0;
}

// The whole picture is drawn at the size it is shown: again when that changes.
void ValueExplorer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (isVisible())
        drawWhole();
}

void ValueExplorer::showDrawn(const Drawn &drawn)
{
    showPicture(m_picture, drawn.picture, Qt::FastTransformation);
    if (!drawn.whole) {
        m_readout->setText(QStringLiteral("…"));
        return;
    }
    m_shown = drawn.value;
    m_shownPsnr = drawn.psnr;
    QString text = valueText(m_shown);
    if (drawn.psnr)
        text += QStringLiteral(": ") + picture::psnrText(*drawn.psnr, QStringLiteral("align.pgm"));
    m_readout->setText(drawn.psnr ? picture::spanishNumber(*drawn.psnr, 2) + QStringLiteral(" dB")
                                  : QString());
    m_picture->setAccessibleName(tr("Imagen restaurada con %1").arg(valueText(m_shown)));
    if (!m_drawing.busy()) {
        speak(this, text);
        emit pictureShown();
    }
}

void ValueExplorer::useValue()
{
    m_use->setEnabled(false);
    const QString file = QFile::decodeName(m_result.result.filename().c_str());
    m_status->setText(tr("Haciendo %1 de nuevo con %2…").arg(file, valueText(m_value)));
    m_running = remake(m_starter, m_result,
                       QByteArray::fromStdString(restore::formatNumber(m_value) + "\n"), this,
                       [this](const QString &failure) { remade(failure); });
}

void ValueExplorer::remade(const QString &failure)
{
    m_use->setEnabled(true);
    m_running = nullptr;
    const QString file = QFile::decodeName(m_result.result.filename().c_str());
    if (!sayRemade(this, m_status, m_result, failure,
                   tr("%1 hecho de nuevo con %2.").arg(file, valueText(m_value))))
        return;
    m_result.deconvolution->own = m_value;
    // Its point on the curve, measured as the sweep measures, when it lies between the rows.
    if (m_shown == m_value && m_shownPsnr)
        addRow(restore::SweepRow {m_value, *m_shownPsnr, std::nullopt});
    drawCurve();
}

} // namespace viewer

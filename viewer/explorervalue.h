// The explorer of a Wiener or inverse-filter result: its k or threshold on a logarithmic
// slider and in a number field, the picture restored with it, and beside it the curve of PSNR
// against the value, drawn as the sweep fills it, marked where the result was made, where the
// tool advised and where the best lies. "Usar este valor" makes the result again with it.
//
// The picture is restored in the program, from the spectra the sweep shares: while the slider
// is dragged at the size the window shows, once it is let go whole, on a worker.
#pragma once

#include "explorer.h"
#include "sweep.h"

#include <QFutureWatcher>
#include <QWidget>

#include <optional>

#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTimer;

class QChartView;
class QLineSeries;
class QScatterSeries;

namespace viewer {

class ValueExplorer : public QWidget
{
    Q_OBJECT

public:
    ValueExplorer(report::Explorable result, platform::ProcessStarter &starter,
                  QWidget *parent = nullptr);
    ~ValueExplorer() override;

    double value() const { return m_value; }
    // The sweep's rows so far, in the order of their values.
    const std::vector<restore::SweepRow> &curve() const { return m_rows; }
    bool curveDone() const;
    // Whether the picture shows the value chosen last, whole.
    bool pictureCurrent() const;

public slots:
    // The value as the field writes it (rounded to the figures it shows).
    void setValue(double value);
    void useValue();

signals:
    void pictureShown();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void startCurve();
    void addRows(int first, int end);
    void addRow(const restore::SweepRow &row);
    void drawCurve();
    void markCurrent();
    void moveSlider(int position);
    void takeField();
    void drawPreview();
    void drawWhole();
    void showDrawn(const Drawn &drawn);
    void remade(const QString &failure);
    void markCurve();
    QString valueText(double value) const;

    report::Explorable m_result;
    const char *m_name; // "k" or "umbral"
    platform::ProcessStarter &m_starter;
    platform::Started m_running;
    restore::Blurred m_blurred;
    restore::Blurred m_small; // the preview's, for m_smallSize
    QSize m_smallSize;
    double m_advised = 0.0;
    double m_low = 0.0, m_high = 1.0; // the slider's ends
    double m_value = 0.0;
    double m_shown = -1.0; // the value whose whole picture is on screen
    std::optional<double> m_shownPsnr;
    std::vector<restore::SweepRow> m_rows;
    QFutureWatcher<restore::SweepRow> m_sweeping;
    LatestDrawing m_drawing;
    QTimer *m_redraw = nullptr; // the curve drawn again at most this often while it fills

    QLabel *m_picture = nullptr;
    QSlider *m_slider = nullptr;
    QLineEdit *m_field = nullptr;
    QLabel *m_readout = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_use = nullptr;
    QChartView *m_chartView = nullptr;
    QLineSeries *m_line = nullptr;
    QScatterSeries *m_marks[3] = {}; // own, advised, best
    QLineSeries *m_current = nullptr; // a vertical line at the slider's value
};

} // namespace viewer

// The explorer of a structured-noise removal: the spectrum of the image it was made from, with
// the regions it zeroed as boxes and the tool's suggested peaks, beside the image those boxes
// give. "Usar estas regiones" makes the result again with snr.exe, answering it exactly the
// boxes drawn; with no box it is disabled, since an empty answer is "the proposed regions" to
// the tool.
#pragma once

#include "explorer.h"
#include "fft.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace viewer {

class SpectrumBoxes;

class RegionExplorer : public QWidget
{
    Q_OBJECT

public:
    RegionExplorer(report::Explorable result, platform::ProcessStarter &starter,
                   QWidget *parent = nullptr);

    SpectrumBoxes *spectrum() const { return m_boxes; }
    // The answers snr.exe is given: a box a line, "x1 y1 x2 y2", then the empty line that ends.
    static QByteArray answersFor(const std::vector<restore::DisplayRect> &boxes);

public slots:
    void useRegions();

signals:
    void pictureShown();

private:
    void boxesChanged();
    void showDrawn(const Drawn &drawn);
    void remade(const QString &failure);

    report::Explorable m_result;
    platform::ProcessStarter &m_starter;
    platform::Started m_running;
    img::Spectrum m_spectrum; // of distor.pgm
    LatestDrawing m_drawing;

    SpectrumBoxes *m_boxes = nullptr;
    QLabel *m_picture = nullptr;
    QLabel *m_readout = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_use = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_delete = nullptr;
};

} // namespace viewer

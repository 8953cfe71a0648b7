// The structured-noise explorer.
#include "explorerregions.h"

#include "explorerboxes.h"
#include "imageload.h"
#include "pnm.h"
#include "quality.h"
#include "readouts.h"
#include "speech.h"
#include "views.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace viewer {

namespace {

// The spectrum as the viewer's "Espectro" draws it, in the coordinates snr.exe asks for, from
// the grey levels the tool read (16 bits, as distor.pgm holds them).
QImage spectrumDisplay(const img::Image &image)
{
    QImage samples(image.width, image.height, QImage::Format_Grayscale16);
    for (int y = 0; y < image.height; ++y) {
        auto *line = reinterpret_cast<quint16 *>(samples.scanLine(y));
        for (int x = 0; x < image.width; ++x)
            line[x] = quint16(img::quantise(image.at(x, y), 65535));
    }
    return picture::spectrumView(picture::GreyLevels(std::move(samples), 65535)).display;
}

} // namespace

RegionExplorer::RegionExplorer(report::Explorable result, platform::ProcessStarter &starter,
                               QWidget *parent)
    : QWidget(parent)
    , m_result(std::move(result))
    , m_starter(starter)
{
    const report::NoiseRemoval &made = *m_result.noiseRemoval;
    const QString file = QFile::decodeName(m_result.result.filename().c_str());
    setWindowTitle(tr("Explorar regiones — %1").arg(file));
    setAttribute(Qt::WA_DeleteOnClose);

    m_spectrum = img::forward(made.distorted);
    m_boxes = new SpectrumBoxes(spectrumDisplay(made.distorted), made.zeroed, made.proposed);
    // Its transform is all that is needed of it from now on.
    m_result.noiseRemoval->distorted = img::Image();

    m_picture = pictureLabel(tr("Imagen sin las regiones"));
    m_readout = namedLabel(tr("Medida"));
    m_status = namedLabel(tr("Estado"));
    m_status->setText(m_result.truth ? QString() : m_result.noTruth);
    m_status->setWordWrap(true);
    m_add = namedButton(tr("&Añadir región"));
    m_delete = namedButton(tr("&Borrar región"));
    m_use = namedButton(tr("&Usar estas regiones"));
    QPushButton *close = namedButton(tr("&Cerrar"));

    auto *top = new QHBoxLayout;
    top->addWidget(m_boxes, 1);
    top->addWidget(m_picture, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_readout);
    buttons->addWidget(m_status, 1);
    buttons->addWidget(m_add);
    buttons->addWidget(m_delete);
    buttons->addWidget(m_use);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    connect(m_boxes, &SpectrumBoxes::boxesChanged, this, &RegionExplorer::boxesChanged);
    connect(m_add, &QPushButton::clicked, m_boxes, &SpectrumBoxes::addBox);
    connect(m_delete, &QPushButton::clicked, m_boxes, &SpectrumBoxes::deleteBox);
    connect(m_use, &QPushButton::clicked, this, &RegionExplorer::useRegions);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(&m_drawing, &LatestDrawing::drawn, this, &RegionExplorer::showDrawn);

    resize(1100, 600);
    boxesChanged();
    m_boxes->setFocus();
}

QByteArray RegionExplorer::answersFor(const std::vector<restore::DisplayRect> &boxes)
{
    QByteArray answers;
    for (const restore::DisplayRect &b : boxes)
        answers += QByteArray::number(b.x0) + ' ' + QByteArray::number(b.y0) + ' '
            + QByteArray::number(b.x1) + ' ' + QByteArray::number(b.y1) + '\n';
    return answers + '\n';
}

// The removal on a worker, whole: zeroing is cheap, the transform back is the cost.
void RegionExplorer::boxesChanged()
{
    const std::vector<restore::DisplayRect> &boxes = m_boxes->boxes();
    m_use->setEnabled(!boxes.empty() && !(m_running && m_running->running()));
    m_delete->setEnabled(!boxes.empty());
    m_drawing.request(
        [spectrum = &m_spectrum, boxes, truth = m_result.truth ? &*m_result.truth : nullptr] {
            return drawnWhole(restore::removeRegions(*spectrum, boxes), truth);
        });
}

void RegionExplorer::showDrawn(const Drawn &drawn)
{
    showPicture(m_picture, drawn.picture, Qt::SmoothTransformation);
    const size_t count = m_boxes->boxes().size();
    const QString regions = count == 1 ? tr("1 región") : tr("%1 regiones").arg(count);
    m_picture->setAccessibleName(tr("Imagen sin las %1").arg(regions));
    m_readout->setText(drawn.psnr ? picture::psnrText(*drawn.psnr, QStringLiteral("align.pgm"))
                                  : QString());
    if (!m_drawing.busy()) {
        if (drawn.psnr)
            speak(this, tr("Con %1: %2").arg(regions, m_readout->text()));
        emit pictureShown();
    }
}

void RegionExplorer::useRegions()
{
    if (m_boxes->boxes().empty())
        return;
    m_use->setEnabled(false);
    m_status->setText(
        tr("Haciendo %1 de nuevo…").arg(QFile::decodeName(m_result.result.filename().c_str())));
    m_running = remake(m_starter, m_result, answersFor(m_boxes->boxes()), this,
                       [this](const QString &failure) { remade(failure); });
}

void RegionExplorer::remade(const QString &failure)
{
    m_running = nullptr;
    m_use->setEnabled(!m_boxes->boxes().empty());
    sayRemade(this, m_status, m_result, failure,
              tr("%1 hecho de nuevo sin estas regiones.")
                  .arg(QFile::decodeName(m_result.result.filename().c_str())));
}

} // namespace viewer

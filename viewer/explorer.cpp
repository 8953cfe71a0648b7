// The explorer's entry, its pictures, its worker and its tool runs.
#include "explorer.h"

#include "contracts.h"
#include "dospath.h"
#include "explorerregions.h"
#include "explorervalue.h"
#include "imageload.h"
#include "operations.h"
#include "pnm.h"
#include "quality.h"
#include "speech.h"
#include "views.h"

#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <vector>

namespace viewer {

namespace {

namespace fs = std::filesystem;

} // namespace

QString exploreEntry(const QString &lastLine)
{
    const report::LineMeaning made = report::lookupLine(lastLine);
    if (made.role != report::Role::Restoration && made.role != report::Role::Unknown)
        return {};
    if (report::isProgram(made, "wiener.exe"))
        return QStringLiteral("Explorar k…");
    if (report::isProgram(made, "inverse.exe"))
        return QStringLiteral("Explorar umbral…");
    if (report::isProgram(made, "snr.exe"))
        return QStringLiteral("Explorar regiones…");
    return {};
}

QWidget *explorerFor(const fs::path &result, const QString &name, platform::ProcessStarter &starter,
                     QString *error)
{
    report::Explorable explorable = report::explorableFrom(result, name);
    if (!explorable.error.isEmpty()) {
        *error = explorable.error;
        return nullptr;
    }
    if (explorable.noiseRemoval)
        return new RegionExplorer(std::move(explorable), starter);
    return new ValueExplorer(std::move(explorable), starter);
}

QImage boxReduced(const QImage &grey, QSize size)
{
    const int step = std::max(1,
                              std::min(grey.width() / std::max(1, 2 * size.width()),
                                       grey.height() / std::max(1, 2 * size.height())));
    if (step == 1)
        return grey;
    QImage small(grey.width() / step, grey.height() / step, QImage::Format_Grayscale8);
    std::vector<unsigned> sums(size_t(small.width()));
    for (int y = 0; y < small.height(); ++y) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (int dy = 0; dy < step; ++dy) {
            const uchar *line = grey.constScanLine(y * step + dy);
            for (int x = 0; x < small.width() * step; ++x)
                sums[size_t(x / step)] += line[x];
        }
        uchar *out = small.scanLine(y);
        const unsigned area = unsigned(step * step);
        for (int x = 0; x < small.width(); ++x)
            out[x] = uchar((sums[size_t(x)] + area / 2) / area);
    }
    return small;
}

Drawn drawnWhole(const img::Image &restored, const restore::Truth *truth)
{
    Drawn drawn;
    drawn.picture = picture::eightBit(restored);
    if (truth)
        drawn.psnr = restore::psnrOfLevels(drawn.picture.constBits(),
                                           size_t(drawn.picture.bytesPerLine()), *truth);
    drawn.whole = true;
    return drawn;
}

LatestDrawing::LatestDrawing(QObject *parent)
    : QObject(parent)
{
    connect(&m_watcher, &QFutureWatcherBase::finished, this, &LatestDrawing::finished);
}

LatestDrawing::~LatestDrawing()
{
    // The drawing reads its window's spectra: it may not outlive them.
    m_waiting = nullptr;
    m_watcher.waitForFinished();
}

void LatestDrawing::request(std::function<Drawn()> draw)
{
    if (m_watcher.isRunning()) {
        m_waiting = std::move(draw);
        return;
    }
    m_watcher.setFuture(QtConcurrent::run(std::move(draw)));
}

void LatestDrawing::finished()
{
    const Drawn picture = m_watcher.result();
    if (m_waiting)
        m_watcher.setFuture(QtConcurrent::run(std::exchange(m_waiting, nullptr)));
    emit drawn(picture);
}

platform::Started remake(platform::ProcessStarter &starter, const report::Explorable &result,
                         const QByteArray &answers, QObject *receiver,
                         std::function<void(const QString &)> told)
{
    // The window may be closed before the tool ends.
    const auto done = [alive = QPointer<QObject>(receiver), told](const QString &failure) {
        if (alive)
            told(failure);
    };
    if (!result.made.operation) {
        done(QStringLiteral("Ninguna operación del menú hace este resultado."));
        return nullptr;
    }
    const ops::Step &step = result.made.operation->first;
    const std::optional<fs::path> program
        = dos::toNative(tools::path(step.tool), dos::currentDrives());
    QStringList arguments;
    for (const char *argument : step.arguments)
        if (argument)
            arguments << QString::fromLatin1(argument);
    QString reason;
    const platform::Started started = program
        ? starter.startAnswered(QFile::decodeName(program->c_str()), arguments,
                                QFile::decodeName(result.result.parent_path().c_str()), answers,
                                &reason)
        : nullptr;
    if (!started) {
        done(QStringLiteral("No se pudo iniciar %1: %2")
                 .arg(QString::fromLatin1(tools::contract(step.tool).program),
                      program ? reason : QStringLiteral("no está en la unidad C")));
        return nullptr;
    }
    started->whenEnded([started = started.get(), done,
                        tool = QString::fromLatin1(tools::contract(step.tool).program)] {
        if (!started->failed())
            done({});
        else
            done(started->failure().isEmpty() ? QStringLiteral("%1 ha fallado.").arg(tool)
                                              : started->failure());
    });
    return started;
}

bool sayRemade(QWidget *window, QLabel *status, const report::Explorable &result,
               const QString &failure, const QString &done)
{
    if (!failure.isEmpty()) {
        status->setText(failure);
        QMessageBox::critical(
            window, QString::fromLatin1(picture::kProgramTitle),
            QObject::tr("No se pudo hacer %1 de nuevo: %2")
                .arg(QFile::decodeName(result.result.filename().c_str()), failure));
        return false;
    }
    status->setText(done);
    speak(window, done);
    return true;
}

QPushButton *namedButton(const QString &text)
{
    auto *button = new QPushButton(text);
    button->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    return button;
}

QLabel *namedLabel(const QString &name)
{
    auto *label = new QLabel;
    label->setAccessibleName(name);
    return label;
}

QLabel *pictureLabel(const QString &name)
{
    QLabel *label = namedLabel(name);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumSize(256, 256);
    label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    label->setFocusPolicy(Qt::StrongFocus);
    return label;
}

void showPicture(QLabel *label, const QImage &picture, Qt::TransformationMode mode)
{
    const qreal ratio = label->devicePixelRatio();
    QPixmap pixmap
        = QPixmap::fromImage(picture.scaled(label->size() * ratio, Qt::KeepAspectRatio, mode));
    pixmap.setDevicePixelRatio(ratio);
    label->setPixmap(pixmap);
}

} // namespace viewer

// The viewer's window, on the lines of Qt's image viewer example: a QLabel in a QScrollArea.
#include "viewerwindow.h"

#include "comparemethods.h"
#include "conclusionsdialog.h"
#include "crosshair.h"
#include "elidedlabel.h"
#include "explorer.h"
#include "histogramwidget.h"
#include "labreport.h"
#include "plural.h"
#include "readouts.h"
#include "reportpdf.h"
#include "saving.h"
#include "speech.h"
#include "zoom.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QCursor>
#include <QDir>
#include <QDockWidget>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QWheelEvent>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace viewer {

// The window shows a picture of the core below it, and hands its reports to the report.
using namespace picture;

namespace {

// Keeps the point in the middle of the view where it was when the picture grows or shrinks.
void rescaleScrollBar(QScrollBar *bar, double factor)
{
    bar->setValue(int(factor * bar->value() + (factor - 1) * bar->pageStep() / 2));
}

} // namespace

ViewerWindow::ViewerWindow(LoadedImage image, std::optional<LoadedImage> reference, QWidget *parent)
    : QMainWindow(parent)
    , m_image(std::move(image))
    , m_reference(std::move(reference))
{
    m_imageLabel = new QLabel;
    m_imageLabel->setBackgroundRole(QPalette::Base);
    m_imageLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_imageLabel->setMouseTracking(true);
    m_imageLabel->installEventFilter(this);

    m_scrollArea = new QScrollArea;
    m_scrollArea->setBackgroundRole(QPalette::Dark);
    m_scrollArea->setAlignment(Qt::AlignCenter);
    m_scrollArea->setWidget(m_imageLabel);
    m_scrollArea->viewport()->installEventFilter(this);
    // The arrow keys reach the scroll area first: the keyboard crosshair takes them from it.
    m_scrollArea->installEventFilter(this);
    setCentralWidget(m_scrollArea);
    // The scroll area holds the focus; a screen reader names it as the picture it shows.
    m_scrollArea->setFocus();

    // Narrowed, the status texts are cut short with "…" rather than drawn over each other;
    // a screen reader still reads them whole.
    auto *pixelLabel = new ElidedLabel(summary());
    auto *zoomLabel = new ElidedLabel;
    m_pixelLabel = pixelLabel;
    m_viewLabel = new ElidedLabel;
    m_comparisonLabel = new ElidedLabel;
    m_zoomLabel = zoomLabel;
    // Room for the longest reading where the screen has it, so that the readout does not jump.
    const QSize size = imageSize();
    pixelLabel->setPreferredWidth(m_pixelLabel->fontMetrics().horizontalAdvance(
        pixelText(QPoint(size.width() - 1, size.height() - 1), 1.0, m_image.maxval)));
    zoomLabel->setPreferredWidth(
        m_zoomLabel->fontMetrics().horizontalAdvance(zoomText(2.0 / 3, true)));
    statusBar()->addWidget(m_pixelLabel, 1);
    statusBar()->addPermanentWidget(m_viewLabel);
    statusBar()->addPermanentWidget(m_comparisonLabel);
    statusBar()->addPermanentWidget(m_zoomLabel);
    m_comparisonLabel->setVisible(m_reference.has_value());

    m_histogram = new HistogramWidget;
    m_histogramDock = new QDockWidget(tr("Histograma"), this);
    m_histogramDock->setObjectName(QStringLiteral("histograma"));
    m_histogramDock->setWidget(m_histogram);
    m_histogramDock->setFeatures(QDockWidget::DockWidgetClosable
                                 | QDockWidget::DockWidgetFloatable);
    // Below the picture, wide and low: the picture keeps its width.
    m_histogramDock->setMaximumHeight(200);
    addDockWidget(Qt::BottomDockWidgetArea, m_histogramDock);
    m_histogramDock->hide();

    createActions();

    const QSize available = screen()->availableGeometry().size();
    const QSize viewport = initialViewport(size, available);
    // A picture larger than the window opens whole, fitted to it; the first picture drawn is
    // the fitted one, never the full size only to be shrunk.
    if (size.width() > viewport.width() || size.height() > viewport.height()) {
        m_fitAct->setChecked(true);
        m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_scale = fitScale(size, viewport);
    }
    updateView();

    const int frame = 2 * m_scrollArea->frameWidth();
    // The status bar's own layout is built late, so its width is summed here: the readings,
    // the longest view note, the measures, the zoom, the gaps between them and the size grip.
    const QString referenceName = QString::fromLatin1(kReferenceName);
    const QFontMetrics metrics = m_viewLabel->fontMetrics();
    const int viewNote = m_reference
        ? metrics.horizontalAdvance(tr("Mostrando %1 (B: volver)").arg(referenceName))
        : 0;
    const int measuresWidth = m_reference
        ? metrics.horizontalAdvance(measuresText(Measures {99.9, -0.999}, referenceName))
        : 0;
    const int statusWidth = pixelLabel->sizeHint().width() + viewNote + measuresWidth
        + zoomLabel->sizeHint().width() + 60;
    // Never larger than the screen's free area, large fonts or QT_SCALE_FACTOR included: the
    // status texts then give way, cut short.
    resize(std::min(std::max(viewport.width() + frame, statusWidth), available.width()),
           std::min(viewport.height() + frame + menuBar()->sizeHint().height()
                        + statusBar()->sizeHint().height(),
                    available.height()));

    if (m_reference)
        startMeasuring();
}

ViewerWindow::~ViewerWindow()
{
    // The worker reads its own shallow copies of the pictures, but the window should not leave
    // a thread behind it.
    m_measuring.waitForFinished();
}

// PSNR and SSIM read every pixel of both pictures: on a worker, so that the window is up
// and answering while they are taken.
void ViewerWindow::startMeasuring()
{
    m_comparisonLabel->setText(
        tr("PSNR frente a %1: midiendo…").arg(QString::fromLatin1(kReferenceName)));
    connect(&m_measuring, &QFutureWatcherBase::finished, this, &ViewerWindow::showMeasures);
    m_measuring.setFuture(QtConcurrent::run([image = m_image.grey, reference = m_reference->grey] {
        return measure(image, reference);
    }));
}

void ViewerWindow::showMeasures()
{
    const std::optional<Measures> measures = m_measuring.result();
    m_comparisonLabel->setText(
        measures ? measuresText(*measures, QFile::decodeName(m_reference->path.filename().c_str()))
                 : QString());
    m_comparisonLabel->setVisible(measures.has_value());
}

void ViewerWindow::createActions()
{
    QMenu *fileMenu = menuBar()->addMenu(tr("&Archivo"));
    QAction *saveAct = fileMenu->addAction(tr("&Guardar como..."), this, &ViewerWindow::saveAs);
    saveAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    fileMenu->addAction(tr("Guardar &informe..."), this, &ViewerWindow::saveReport);
    fileMenu->addAction(tr("Comparar &métodos…"), this,
                        [this] { compareMethods(this, m_image.path); });
    fileMenu->addSeparator();
    QAction *closeAct = fileMenu->addAction(tr("&Cerrar"), this, &QWidget::close);
    // Esc as well: the student looks, then closes and goes back to the program.
    closeAct->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)});

    QMenu *editMenu = menuBar()->addMenu(tr("&Edición"));
    QAction *copyAct = editMenu->addAction(tr("&Copiar"), this, &ViewerWindow::copy);
    copyAct->setShortcut(QKeySequence::Copy);

    QMenu *viewMenu = menuBar()->addMenu(tr("&Ver"));
    m_zoomInAct = viewMenu->addAction(tr("Acercar"), this, &ViewerWindow::zoomIn);
    m_zoomInAct->setShortcuts(
        {QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::Key_Plus)});
    m_zoomOutAct = viewMenu->addAction(tr("Alejar"), this, &ViewerWindow::zoomOut);
    m_zoomOutAct->setShortcuts({QKeySequence::ZoomOut, QKeySequence(Qt::Key_Minus)});
    m_actualSizeAct = viewMenu->addAction(tr("Tamaño &real"), this, &ViewerWindow::showActualSize);
    m_actualSizeAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    viewMenu->addSeparator();
    m_fitAct
        = viewMenu->addAction(tr("&Ajustar a la ventana"), this, &ViewerWindow::setFitToWindow);
    m_fitAct->setCheckable(true);
    m_fitAct->setShortcut(QKeySequence(Qt::Key_F));
    m_crosshairAct = viewMenu->addAction(tr("&Cruz de teclado"), this, &ViewerWindow::setCrosshair);
    m_crosshairAct->setCheckable(true);
    m_crosshairAct->setShortcut(QKeySequence(Qt::Key_X));
    for (QAction *act : {m_zoomInAct, m_zoomOutAct, m_actualSizeAct, m_fitAct})
        connect(act, &QAction::triggered, this, &ViewerWindow::speakZoom);

    // The bench: one key each, so the student flips between them while looking at one spot.
    viewMenu->addSeparator();
    auto *views = new QActionGroup(this);
    m_viewActs[int(View::Image)] = addViewAction(viewMenu, tr("&Imagen"), Qt::Key_I, View::Image);
    m_viewActs[int(View::Spectrum)]
        = addViewAction(viewMenu, tr("&Espectro"), Qt::Key_E, View::Spectrum);
    m_viewActs[int(View::Difference)]
        = addViewAction(viewMenu, tr("&Diferencia con %1").arg(QString::fromLatin1(kReferenceName)),
                        Qt::Key_D, View::Difference);
    for (QAction *act : m_viewActs)
        views->addAction(act);
    m_viewActs[int(View::Image)]->setChecked(true);
    m_blinkAct = viewMenu->addAction(
        tr("&Parpadeo: %1 en su lugar").arg(QString::fromLatin1(kReferenceName)), this,
        &ViewerWindow::setShowsReference);
    m_blinkAct->setCheckable(true);
    m_blinkAct->setShortcut(QKeySequence(Qt::Key_B));
    for (QAction *act : {m_viewActs[int(View::Difference)], m_blinkAct}) {
        act->setEnabled(m_reference.has_value());
        if (!m_reference)
            act->setToolTip(tr("No hay un %1 del mismo tamaño en la carpeta")
                                .arg(QString::fromLatin1(kReferenceName)));
    }
    viewMenu->addSeparator();
    QAction *histogramAct = m_histogramDock->toggleViewAction();
    histogramAct->setText(tr("&Histograma"));
    histogramAct->setShortcut(QKeySequence(Qt::Key_H));
    viewMenu->addAction(histogramAct);
    // A restoration whose choice can be changed on the picture: Wiener's, the inverse filter's,
    // the structured-noise removal's.
    if (const QString entry = exploreEntry(m_image.lines.value(m_image.lines.size() - 1));
        !entry.isEmpty()) {
        viewMenu->addSeparator();
        viewMenu->addAction(entry, this, &ViewerWindow::explore);
    }
    // Showing the histogram makes it the view that is saved; closing it gives the place back.
    connect(histogramAct, &QAction::toggled, this, [this](bool on) {
        m_histogramChosen = on;
        if (!on)
            speak(this, m_imageLabel->accessibleName());
    });
    // Its words are ready only once it is on screen, its counts taken.
    connect(m_histogramDock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (!visible)
            return;
        updateHistogram();
        speak(this, tr("Histograma: %1").arg(m_histogram->accessibleDescription()));
    });
}

void ViewerWindow::explore()
{
    QString error;
    QWidget *explorer
        = explorerFor(m_image.path, QFile::decodeName(m_image.path.filename().c_str()),
                      platform::systemProcessStarter(), &error);
    if (!explorer) {
        QMessageBox::critical(this, QString::fromLatin1(kProgramTitle), error);
        return;
    }
    explorer->show();
}

QAction *ViewerWindow::addViewAction(QMenu *menu, const QString &text, Qt::Key key, View view)
{
    QAction *act = menu->addAction(text, this, [this, view] { setView(view); });
    act->setCheckable(true);
    act->setShortcut(QKeySequence(key));
    return act;
}

bool ViewerWindow::fitsWindow() const
{
    return m_fitAct->isChecked();
}

QString ViewerWindow::pixelStatus() const
{
    return m_pixelLabel->text();
}

QString ViewerWindow::comparisonStatus() const
{
    return m_comparisonLabel->text();
}

QString ViewerWindow::viewStatus() const
{
    return m_viewLabel->text();
}

QString ViewerWindow::zoomStatus() const
{
    return m_zoomLabel->text();
}

void ViewerWindow::setView(View view)
{
    if (view == View::Difference && !m_reference)
        return;
    m_view = view;
    m_histogramChosen = false;
    m_viewActs[int(view)]->setChecked(true);
    updateView();
}

void ViewerWindow::setShowsReference(bool blink)
{
    m_blink = blink && m_reference;
    m_blinkAct->setChecked(m_blink);
    updateView();
}

const LoadedImage &ViewerWindow::source() const
{
    return m_blink ? *m_reference : m_image;
}

const QImage &ViewerWindow::picture()
{
    switch (m_view) {
    case View::Image:
        break;
    case View::Spectrum: {
        std::optional<SpectrumView> &spectrum = m_spectra[m_blink ? 1 : 0];
        if (!spectrum)
            spectrum = spectrumView(source().grey);
        return spectrum->display;
    }
    case View::Difference:
        if (!m_difference)
            m_difference = differenceView(m_image.grey, m_reference->grey);
        if (!m_blink)
            return m_difference->display;
        break;
    }
    return source().display;
}

bool ViewerWindow::histogramIsCurrent() const
{
    return m_histogramChosen && m_histogramDock->isVisible();
}

QImage ViewerWindow::currentPicture(bool samples)
{
    if (histogramIsCurrent())
        return m_histogram->grab().toImage();
    const QImage &shown = picture();
    if (samples && &shown == &source().display)
        return samplesOf(source());
    return shown;
}

// The word that names the current view in the file name offered, empty for the image.
QString ViewerWindow::viewWord() const
{
    if (histogramIsCurrent())
        return tr("histograma");
    if (m_view == View::Spectrum)
        return tr("espectro");
    if (m_view == View::Difference && !m_blink)
        return tr("diferencia");
    return {};
}

void ViewerWindow::saveAs()
{
    QFileDialog dialog(this, tr("Guardar como"));
    // Qt's own dialog, as the program's "Abrir": the same on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(saveNameFilters());
    dialog.setDefaultSuffix(suffixForFilter(dialog.selectedNameFilter()));
    connect(&dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog](const QString &filter) { dialog.setDefaultSuffix(suffixForFilter(filter)); });
    dialog.setDirectory(QFile::decodeName(m_image.path.parent_path().c_str()));
    dialog.selectFile(
        suggestedSaveName(QFile::decodeName(source().path.filename().c_str()), viewWord()));
    if (dialog.exec() == QDialog::Accepted)
        saveViewTo(dialog.selectedFiles().constFirst());
}

bool ViewerWindow::saveViewTo(const QString &path)
{
    const QString title
        = histogramIsCurrent() ? windowTitle() + tr(" — Histograma") : windowTitle();
    const QString reason
        = savePicture(currentPicture(true), path, title,
                      savedLines(source().lines, viewWord(),
                                 QFile::decodeName(source().path.filename().c_str())));
    if (reason.isEmpty()) {
        const QString saved = tr("Guardado en %1").arg(QDir::toNativeSeparators(path));
        statusBar()->showMessage(saved, 3000);
        speak(this, saved);
        return true;
    }
    QMessageBox::warning(
        this, QString::fromLatin1(kProgramTitle),
        tr("No se puede guardar «%1»: %2").arg(QDir::toNativeSeparators(path), reason));
    return false;
}

void ViewerWindow::saveReport()
{
    QFileDialog dialog(this, tr("Guardar informe"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(tr("Informe PDF (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setDirectory(QFile::decodeName(m_image.path.parent_path().c_str()));
    dialog.selectFile(
        tr("informe-%1.pdf")
            .arg(QFileInfo(QFile::decodeName(m_image.path.c_str())).completeBaseName()));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString path = dialog.selectedFiles().constFirst();
    ConclusionsDialog conclusions(QFileInfo(path).fileName(), this);
    if (conclusions.exec() != QDialog::Accepted)
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    report::LabReport handIn
        = report::composeReport(m_image, QDateTime::currentDateTime(), report::currentUserName());
    handIn.conclusions = conclusions.conclusions();
    const QString reason = report::writeReportPdf(handIn, path);
    QGuiApplication::restoreOverrideCursor();
    if (reason.isEmpty()) {
        const QString saved = tr("Informe guardado en %1").arg(QDir::toNativeSeparators(path));
        statusBar()->showMessage(saved, 3000);
        speak(this, saved);
    } else {
        QMessageBox::warning(this, QString::fromLatin1(kProgramTitle),
                             tr("No se puede guardar el informe «%1».\n%2")
                                 .arg(QDir::toNativeSeparators(path), reason));
    }
}

void ViewerWindow::copy()
{
    QGuiApplication::clipboard()->setImage(currentPicture(false));
}

// The same zoom and scroll, another picture: the label keeps its size, so the scroll area
// keeps its place.
void ViewerWindow::updateView()
{
    const QString name = QFile::decodeName(m_image.path.filename().c_str());
    const QString reference = QString::fromLatin1(kReferenceName);
    QString title = m_blink ? tr("%1 (en lugar de %2)").arg(reference, name) : name;
    const QString shownName = m_blink ? reference : name;
    // The title is not spoken: the picture's name and the focus's description say the view.
    QString pictureName = tr("Imagen: %1").arg(shownName);
    QString spoken;
    QString status;
    if (m_view == View::Spectrum) {
        title += tr(" — Espectro");
        pictureName = tr("Espectro de %1").arg(shownName);
    } else if (m_view == View::Difference && !m_blink) {
        picture();
        title += tr(" — Diferencia con %1").arg(reference);
        const QString levels = QStringLiteral("±%1 %2").arg(m_difference->range).arg(
            QLatin1String(img::agree(std::size_t(m_difference->range), "nivel", "niveles")));
        status = tr("Diferencia: %1").arg(levels);
        pictureName = tr("Diferencia con %1").arg(reference);
        spoken = tr("Diferencia con %1: %2").arg(reference, levels);
    }
    if (m_blink)
        status = tr("Mostrando %1 (B: volver)").arg(reference);
    setWindowTitle(title);
    m_imageLabel->setAccessibleName(pictureName);
    m_scrollArea->setAccessibleName(pictureName);
    speak(this,
          spoken.isEmpty() ? (status.isEmpty() ? pictureName : pictureName + ". " + status)
                           : spoken);
    m_viewLabel->setText(status);
    m_viewLabel->setVisible(!status.isEmpty());
    updateHistogram();
    applyScale(m_scale);
}

// A pass over every pixel: taken only while the histogram is on screen.
void ViewerWindow::updateHistogram()
{
    if (m_histogramDock->isVisible())
        m_histogram->setCounts(histogram(source().grey));
}

void ViewerWindow::speakZoom()
{
    speak(this, tr("Zoom %1").arg(zoomStatus()));
}

void ViewerWindow::zoomIn()
{
    setFitToWindow(false);
    applyScale(zoomInStep(m_scale, maxScaleFor(imageSize())));
}

void ViewerWindow::zoomOut()
{
    setFitToWindow(false);
    applyScale(zoomOutStep(m_scale));
}

void ViewerWindow::showActualSize()
{
    setFitToWindow(false);
    applyScale(1.0);
}

void ViewerWindow::setFitToWindow(bool fit)
{
    if (m_fitAct->isChecked() != fit)
        m_fitAct->setChecked(fit); // emits toggled, not triggered: no re-entry
    // Scroll bars would take room from the picture they are meant to leave whole.
    const Qt::ScrollBarPolicy policy = fit ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
    m_scrollArea->setHorizontalScrollBarPolicy(policy);
    m_scrollArea->setVerticalScrollBarPolicy(policy);
    if (fit)
        refit();
    updateActions();
}

void ViewerWindow::refit()
{
    const double scale = fitScale(imageSize(), m_scrollArea->maximumViewportSize());
    // The window's first layout usually gives the room the picture was fitted to already:
    // a 12-megapixel picture is not scaled down twice for it.
    if (scaledSize(imageSize(), scale) == m_imageLabel->size()) {
        m_scale = scale;
        updateActions();
        return;
    }
    applyScale(scale);
}

void ViewerWindow::applyScale(double scale)
{
    const double factor = scale / m_scale;
    m_scale = scale;
    const QSize shown = scaledSize(imageSize(), scale);
    const QImage &full = picture();
    // Enlarged pixels stay sharp squares, so the student can see single pixels; reductions
    // are smoothed so that fine detail does not turn into aliasing, except the spectrum's,
    // whose single bright bins (periodic noise) must stay bright points.
    QImage shownPicture = full;
    if (shown != imageSize() && scale > 1)
        shownPicture = full.scaled(shown, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    else if (shown != imageSize() && m_view == View::Spectrum)
        shownPicture = maxReduced(full, shown);
    else if (shown != imageSize())
        shownPicture = full.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_imageLabel->setPixmap(QPixmap::fromImage(shownPicture));
    m_imageLabel->resize(shown);
    rescaleScrollBar(m_scrollArea->horizontalScrollBar(), factor);
    rescaleScrollBar(m_scrollArea->verticalScrollBar(), factor);
    updateActions();
    // The picture moved under a still cursor: the reading must follow it.
    if (m_imageLabel->underMouse())
        showPixelUnder(m_imageLabel->mapFromGlobal(QCursor::pos()));
    else if (m_crosshairAct->isChecked())
        showPixel(m_crosshair);
}

void ViewerWindow::updateActions()
{
    m_zoomInAct->setEnabled(zoomInStep(m_scale, maxScaleFor(imageSize())) != m_scale);
    m_zoomOutAct->setEnabled(zoomOutStep(m_scale) != m_scale);
    m_zoomLabel->setText(zoomText(m_scale, fitsWindow()));
}

QString ViewerWindow::summary() const
{
    return summaryText(imageSize(), source().maxval);
}

void ViewerWindow::showPixelUnder(QPoint position)
{
    const std::optional<QPoint> pixel = pixelAt(position, imageSize(), m_imageLabel->size());
    if (pixel)
        showPixel(*pixel);
    else
        m_pixelLabel->setText(summary());
}

void ViewerWindow::showPixel(QPoint pixel)
{
    const int x = pixel.x(), y = pixel.y();
    if (m_view == View::Spectrum)
        m_pixelLabel->setText(spectrumText(pixel, m_spectra[m_blink ? 1 : 0]->magnitudeAt(x, y)));
    else if (m_view == View::Difference && !m_blink)
        m_pixelLabel->setText(
            differenceText(pixel, differenceAt(m_image.grey, m_reference->grey, x, y)));
    else
        m_pixelLabel->setText(pixelText(pixel, source().grey.at(x, y), source().maxval));
}

void ViewerWindow::setCrosshair(bool on)
{
    m_crosshairAct->setChecked(on);
    if (!on) {
        m_pixelLabel->setText(summary());
        speak(this, tr("Cruz de teclado apagada"));
        return;
    }
    // It starts in the middle of the picture, or where the student left it.
    if (!QRect(QPoint(0, 0), imageSize()).contains(m_crosshair))
        m_crosshair = QPoint(imageSize().width() / 2, imageSize().height() / 2);
    moveCrosshair(m_crosshair);
}

void ViewerWindow::moveCrosshair(QPoint pixel)
{
    m_crosshair = pixel;
    showPixel(pixel);
    // The point stays on screen: the picture scrolls under it as the student moves it.
    const QSize shown = m_imageLabel->size();
    m_scrollArea->ensureVisible(int((pixel.x() + 0.5) * shown.width() / imageSize().width()),
                                int((pixel.y() + 0.5) * shown.height() / imageSize().height()));
    speak(this, pixelStatus());
}

bool ViewerWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_scrollArea && event->type() == QEvent::KeyPress
        && m_crosshairAct->isChecked()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (const std::optional<QPoint> to
            = crosshairStep(m_crosshair, key->key(), key->modifiers(), imageSize())) {
            moveCrosshair(*to);
            return true;
        }
    }
    if (watched == m_imageLabel) {
        if (event->type() == QEvent::MouseMove)
            showPixelUnder(static_cast<QMouseEvent *>(event)->position().toPoint());
        else if (event->type() == QEvent::Leave)
            m_pixelLabel->setText(summary());
    } else if (watched == m_scrollArea->viewport()) {
        if (event->type() == QEvent::Resize && fitsWindow()) {
            refit();
        } else if (event->type() == QEvent::Wheel) {
            const auto *wheel = static_cast<QWheelEvent *>(event);
            if (wheel->modifiers() & Qt::ControlModifier) {
                if (wheel->angleDelta().y() > 0)
                    zoomIn();
                else if (wheel->angleDelta().y() < 0)
                    zoomOut();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace viewer

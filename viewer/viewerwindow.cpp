// The viewer's window, on the lines of Qt's image viewer example: a QLabel in a QScrollArea.
#include "viewerwindow.h"

#include "viewerlogic.h"

#include <QAction>
#include <QCursor>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QWheelEvent>

#include <algorithm>

namespace viewer {

namespace {

// Keeps the point in the middle of the view where it was when the picture grows or shrinks.
void rescaleScrollBar(QScrollBar *bar, double factor)
{
    bar->setValue(int(factor * bar->value() + (factor - 1) * bar->pageStep() / 2));
}

} // namespace

ViewerWindow::ViewerWindow(LoadedImage image, const QString &comparison, QWidget *parent)
    : QMainWindow(parent)
    , m_image(std::move(image))
{
    setWindowTitle(QFile::decodeName(m_image.path.filename().c_str()));

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
    setCentralWidget(m_scrollArea);

    m_pixelLabel = new QLabel(summaryText(m_image.display.size(), m_image.maxval));
    m_comparisonLabel = new QLabel(comparison);
    // Room for the longest reading, so that neither it nor the PSNR is ever cut short.
    const QSize size = m_image.display.size();
    m_pixelLabel->setMinimumWidth(m_pixelLabel->fontMetrics().horizontalAdvance(
        pixelText(QPoint(size.width() - 1, size.height() - 1), 1.0, m_image.maxval)));
    statusBar()->addWidget(m_pixelLabel, 1);
    statusBar()->addPermanentWidget(m_comparisonLabel);
    m_comparisonLabel->setVisible(!comparison.isEmpty());

    createActions();
    applyScale(1.0);

    const QSize viewport
        = initialViewport(m_image.display.size(), screen()->availableGeometry().size());
    const int frame = 2 * m_scrollArea->frameWidth();
    // The status bar's own layout is built late, so its width is summed here: both readings,
    // the gap between them and the size grip.
    const int statusWidth = m_pixelLabel->minimumWidth()
        + (comparison.isEmpty() ? 0 : m_comparisonLabel->sizeHint().width()) + 40;
    resize(std::max(viewport.width() + frame, statusWidth),
           viewport.height() + frame + menuBar()->sizeHint().height()
               + statusBar()->sizeHint().height());
}

void ViewerWindow::createActions()
{
    QMenu *fileMenu = menuBar()->addMenu(tr("&Archivo"));
    QAction *closeAct = fileMenu->addAction(tr("&Cerrar"), this, &QWidget::close);
    // Esc as well: the student looks, then closes and goes back to the program.
    closeAct->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)});

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

void ViewerWindow::zoomIn()
{
    setFitToWindow(false);
    applyScale(zoomInStep(m_scale, maxScaleFor(m_image.display.size())));
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
    applyScale(fitScale(m_image.display.size(), m_scrollArea->maximumViewportSize()));
}

void ViewerWindow::applyScale(double scale)
{
    const double factor = scale / m_scale;
    m_scale = scale;
    const QSize shown = scaledSize(m_image.display.size(), scale);
    // Enlarged pixels stay sharp squares, so the student can see single pixels; reductions
    // are smoothed so that fine detail does not turn into aliasing.
    const QImage picture = shown == m_image.display.size()
        ? m_image.display
        : m_image.display.scaled(shown, Qt::IgnoreAspectRatio,
                                 scale > 1 ? Qt::FastTransformation : Qt::SmoothTransformation);
    m_imageLabel->setPixmap(QPixmap::fromImage(picture));
    m_imageLabel->resize(shown);
    rescaleScrollBar(m_scrollArea->horizontalScrollBar(), factor);
    rescaleScrollBar(m_scrollArea->verticalScrollBar(), factor);
    updateActions();
    // The picture moved under a still cursor: the reading must follow it.
    if (m_imageLabel->underMouse())
        showPixelUnder(m_imageLabel->mapFromGlobal(QCursor::pos()));
}

void ViewerWindow::updateActions()
{
    m_zoomInAct->setEnabled(zoomInStep(m_scale, maxScaleFor(m_image.display.size())) != m_scale);
    m_zoomOutAct->setEnabled(zoomOutStep(m_scale) != m_scale);
}

void ViewerWindow::showPixelUnder(QPoint position)
{
    const std::optional<QPoint> pixel
        = pixelAt(position, m_image.display.size(), m_imageLabel->size());
    m_pixelLabel->setText(
        pixel ? pixelText(*pixel, m_image.grey.at(pixel->x(), pixel->y()), m_image.maxval)
              : summaryText(m_image.display.size(), m_image.maxval));
}

bool ViewerWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_imageLabel) {
        if (event->type() == QEvent::MouseMove)
            showPixelUnder(static_cast<QMouseEvent *>(event)->position().toPoint());
        else if (event->type() == QEvent::Leave)
            m_pixelLabel->setText(summaryText(m_image.display.size(), m_image.maxval));
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

// The viewer's window: the picture in a scroll area, zoom actions, a status bar that reads the
// value under the cursor and the PSNR and SSIM against align.pgm, and the bench's views: the
// spectrum, the difference with align.pgm, align.pgm itself in place of the image, and the
// histogram.
//
// The window comes up first: a picture larger than it opens fitted to it, and the PSNR and
// SSIM, a pass over every pixel of both pictures, are taken on a worker thread and fill in
// their place in the status bar when they are ready.
#pragma once

#include "imageload.h"
#include "measures.h"
#include "views.h"

#include <QFutureWatcher>
#include <QMainWindow>

#include <optional>

class QAction;
class QDockWidget;
class QLabel;
class QScrollArea;

namespace viewer {

class HistogramWidget;

enum class View { Image, Spectrum, Difference };

class ViewerWindow : public QMainWindow
{
    Q_OBJECT

public:
    // `reference` is align.pgm of the same size (referenceFor), when there is one.
    ViewerWindow(picture::LoadedImage image, std::optional<picture::LoadedImage> reference,
                 QWidget *parent = nullptr);
    ~ViewerWindow() override;

    double scale() const { return m_scale; }
    bool fitsWindow() const;
    View view() const { return m_view; }
    bool showsReference() const { return m_blink; }
    QLabel *imageLabel() const { return m_imageLabel; }
    QString pixelStatus() const;
    QString comparisonStatus() const;
    QString viewStatus() const;
    QString zoomStatus() const;
    // What "Guardar como..." writes and "Copiar" copies: the view last chosen under "Ver" (the
    // histogram once it is shown, until another view is chosen), at the image's own size; the
    // image view with the file's own samples when `samples`, as shown otherwise.
    QImage currentPicture(bool samples);

public slots:
    void zoomIn();
    void zoomOut();
    void showActualSize();
    void setFitToWindow(bool fit);
    void setView(viewer::View view);
    void setShowsReference(bool blink);
    void saveAs();
    void copy();
    void saveReport();
    // Saves the current view to `path`, as "Guardar como..." does once its dialog is accepted;
    // a failure is said in a message box.
    bool saveViewTo(const QString &path);
    // The keyboard crosshair: while on, the arrow keys move the readout's point instead of
    // scrolling, and the readout is spoken.
    void setCrosshair(bool on);
    // The explorer of the result shown, in a window of its own.
    void explore();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createActions();
    void startMeasuring();
    void showMeasures();
    void updateHistogram();
    QAction *addViewAction(QMenu *menu, const QString &text, Qt::Key key, View view);
    void applyScale(double scale);
    void refit();
    void updateActions();
    void updateView();
    void speakZoom();
    void showPixelUnder(QPoint position);
    void showPixel(QPoint pixel);
    void moveCrosshair(QPoint pixel);
    QString summary() const;
    bool histogramIsCurrent() const;
    QString viewWord() const;
    const picture::LoadedImage &source() const;
    const QImage &picture();
    QSize imageSize() const { return m_image.display.size(); }

    picture::LoadedImage m_image;
    std::optional<picture::LoadedImage> m_reference;
    View m_view = View::Image;
    bool m_blink = false;
    bool m_histogramChosen = false;
    // The views, made the first time they are asked for; [1] is align.pgm's.
    std::optional<picture::SpectrumView> m_spectra[2];
    std::optional<picture::DifferenceView> m_difference;

    double m_scale = 1.0;
    QScrollArea *m_scrollArea = nullptr;
    QLabel *m_imageLabel = nullptr;
    QLabel *m_pixelLabel = nullptr;
    QLabel *m_viewLabel = nullptr;
    QLabel *m_comparisonLabel = nullptr;
    QLabel *m_zoomLabel = nullptr;
    QFutureWatcher<std::optional<picture::Measures>> m_measuring;
    QDockWidget *m_histogramDock = nullptr;
    HistogramWidget *m_histogram = nullptr;
    QAction *m_zoomInAct = nullptr;
    QAction *m_zoomOutAct = nullptr;
    QAction *m_actualSizeAct = nullptr;
    QAction *m_fitAct = nullptr;
    QAction *m_viewActs[3] = {};
    QAction *m_blinkAct = nullptr;
    QAction *m_crosshairAct = nullptr;
    QPoint m_crosshair {-1, -1};
};

} // namespace viewer

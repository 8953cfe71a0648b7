// The viewer's window: the picture in a scroll area, zoom actions, and a status bar that reads
// the grey level under the cursor and the PSNR against align.pgm.
#pragma once

#include "imageload.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QScrollArea;

namespace viewer {

class ViewerWindow : public QMainWindow
{
    Q_OBJECT

public:
    // `comparison` is the PSNR text (comparisonFor), empty when there is none.
    ViewerWindow(LoadedImage image, const QString &comparison, QWidget *parent = nullptr);

    double scale() const { return m_scale; }
    bool fitsWindow() const;
    QLabel *imageLabel() const { return m_imageLabel; }
    QString pixelStatus() const;
    QString comparisonStatus() const;

public slots:
    void zoomIn();
    void zoomOut();
    void showActualSize();
    void setFitToWindow(bool fit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createActions();
    void applyScale(double scale);
    void refit();
    void updateActions();
    void showPixelUnder(QPoint position);

    LoadedImage m_image;
    double m_scale = 1.0;
    QScrollArea *m_scrollArea = nullptr;
    QLabel *m_imageLabel = nullptr;
    QLabel *m_pixelLabel = nullptr;
    QLabel *m_comparisonLabel = nullptr;
    QAction *m_zoomInAct = nullptr;
    QAction *m_zoomOutAct = nullptr;
    QAction *m_actualSizeAct = nullptr;
    QAction *m_fitAct = nullptr;
};

} // namespace viewer

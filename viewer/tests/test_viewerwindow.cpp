// The viewer's window, offscreen: the title, the keys of the zoom, the status bar under the
// cursor and the PSNR beside it, saving and copying the view.
#include "imageload.h"
#include "labreport.h"
#include "readouts.h"
#include "saving.h"
#include "testfiles.h"
#include "viewerwindow.h"
#include "views.h"
#include "zoom.h"

#include <QAccessible>
#include <QClipboard>
#include <QDockWidget>
#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace picture;
using namespace viewer;

namespace {

fs::path native(const QString &path)
{
    return fs::path(QFile::encodeName(path).toStdString());
}

// A 16-bit image whose pixel (x, y) holds 257 * (10 x + y), i.e. 10 x + y on 0..255.
QByteArray ramp16(int w, int h)
{
    std::vector<int> values;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            values.push_back(257 * ((10 * x + y) % 256));
    return testfiles::pgm16(w, h, values);
}

} // namespace

class ViewerWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void titleAndActualSize();
    void statusFollowsCursor();
    void keysZoom();
    void fitFollowsTheWindow();
    void largeImageScrolls();
    void psnrInStatusBar();
    void viewsByKeyKeepZoomAndScroll();
    void closesWithEscape();
    void savesAndCopiesTheView();
    void reportDialogTakesConclusions();
    void namesAndSpeaksTheView();
    void keyboardCrosshairReads();

private:
    std::unique_ptr<ViewerWindow> open(const QString &argument);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void ViewerWindowTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    testfiles::write(m_dir->filePath("mov25.pgm"),
                     ramp16(20, 12).insert(3, "# motion.exe distor.pgm mov25.pgm 25\n"));
    testfiles::write(m_dir->filePath("align.pgm"), testfiles::filledPgm8(20, 12, 0));
    testfiles::write(m_dir->filePath("big.pgm"), testfiles::filledPgm8(1500, 1200, 90));
}

std::unique_ptr<ViewerWindow> ViewerWindowTest::open(const QString &argument)
{
    const dos::Drives drives {native(m_dir->filePath("drive_c")), native(m_dir->path())};
    OpenResult opened = openFromArguments({argument}, drives);
    if (!opened.image)
        qFatal("%s", qPrintable(opened.error));
    std::optional<LoadedImage> reference = referenceFor(*opened.image);
    auto window = std::make_unique<ViewerWindow>(std::move(*opened.image), std::move(reference));
    window->resize(400, 300);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        qFatal("the viewer window never became active");
    return window;
}

void ViewerWindowTest::titleAndActualSize()
{
    auto window = open(QStringLiteral("MOV25.PGM"));
    QCOMPARE(window->windowTitle(), QStringLiteral("mov25.pgm"));
    QCOMPARE(window->scale(), 1.0);
    QCOMPARE(window->imageLabel()->size(), QSize(20, 12));
    QCOMPARE(window->pixelStatus(), QStringLiteral("20 × 12 píxeles · 16 bits"));
    const QList<QAction *> menus = window->menuBar()->actions();
    QCOMPARE(menus.size(), 3);
    QCOMPARE(menus[0]->text(), QStringLiteral("&Archivo"));
    QCOMPARE(menus[1]->text(), QStringLiteral("&Edición"));
    QCOMPARE(menus[2]->text(), QStringLiteral("&Ver"));
}

void ViewerWindowTest::statusFollowsCursor()
{
    auto window = open(QStringLiteral("mov25.pgm"));
    QLabel *label = window->imageLabel();
    QTest::mouseMove(label, QPoint(3, 2));
    QCOMPARE(window->pixelStatus(), QStringLiteral("x 3, y 2 · gris 8224 de 65535 (32 en 0–255)"));

    // At 2x the same pixel lies under twice the coordinates, and under every point of its square.
    QTest::keyClick(window.get(), Qt::Key_Plus);
    QTest::keyClick(window.get(), Qt::Key_Plus);
    QCOMPARE(window->scale(), 2.0);
    QTest::mouseMove(label, QPoint(7, 5));
    QCOMPARE(window->pixelStatus(), QStringLiteral("x 3, y 2 · gris 8224 de 65535 (32 en 0–255)"));
    QTest::mouseMove(label, QPoint(39, 23));
    QVERIFY(window->pixelStatus().startsWith(QStringLiteral("x 19, y 11 ·")));

    // Leaving the picture brings back its size and depth.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(label, &leave);
    QCOMPARE(window->pixelStatus(), QStringLiteral("20 × 12 píxeles · 16 bits"));
}

void ViewerWindowTest::keysZoom()
{
    auto window = open(QStringLiteral("mov25.pgm"));
    QTest::keyClick(window.get(), Qt::Key_Plus);
    QCOMPARE(window->scale(), 1.5);
    QCOMPARE(window->imageLabel()->size(), QSize(30, 18));
    QTest::keyClick(window.get(), Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(window->scale(), 2.0);
    QTest::keyClick(window.get(), Qt::Key_Minus);
    QCOMPARE(window->scale(), 1.5);
    QTest::keyClick(window.get(), Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_Minus);
    QCOMPARE(window->scale(), 2.0 / 3);
    QCOMPARE(window->imageLabel()->size(), QSize(13, 8));
    QTest::keyClick(window.get(), Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(window->scale(), 1.0);
    QCOMPARE(window->imageLabel()->size(), QSize(20, 12));
}

void ViewerWindowTest::fitFollowsTheWindow()
{
    // A picture larger than the window opens fitted to it, whole.
    auto window = open(QStringLiteral("big.pgm"));
    auto *area = window->findChild<QScrollArea *>();
    QVERIFY(area);
    QVERIFY(window->fitsWindow());
    QTRY_VERIFY(window->imageLabel()->width() <= area->viewport()->width());
    QCOMPARE(window->zoomStatus(), zoomText(window->scale(), true));
    const QSize room = area->viewport()->size();
    QSize shown = window->imageLabel()->size();
    QVERIFY2(shown.width() <= room.width() && shown.height() <= room.height(),
             qPrintable(QStringLiteral("%1x%2 in %3x%4")
                            .arg(shown.width())
                            .arg(shown.height())
                            .arg(room.width())
                            .arg(room.height())));
    QVERIFY(shown.width() >= room.width() - 1 || shown.height() >= room.height() - 1);
    QVERIFY(!area->horizontalScrollBar()->isVisible() && !area->verticalScrollBar()->isVisible());

    // A larger window shows a larger picture, still whole.
    const double before = window->scale();
    window->resize(800, 600);
    QTRY_VERIFY(window->scale() > before);
    shown = window->imageLabel()->size();
    QVERIFY(shown.width() <= area->viewport()->width());
    QVERIFY(shown.height() <= area->viewport()->height());

    // Zooming leaves the fit; from the fitted factor "Acercar" lands on the next round step.
    const double fitted = window->scale();
    QTest::keyClick(window.get(), Qt::Key_Plus);
    QVERIFY(!window->fitsWindow());
    QCOMPARE(window->scale(), zoomInStep(fitted, maxScaleFor(QSize(1500, 1200))));
    QCOMPARE(window->zoomStatus(), zoomText(window->scale(), false));
    QTest::keyClick(window.get(), Qt::Key_F);
    QVERIFY(window->fitsWindow());
    QTest::keyClick(window.get(), Qt::Key_F);
    QVERIFY(!window->fitsWindow());

    // One that fits opens at its own size.
    QVERIFY(!open(QStringLiteral("mov25.pgm"))->fitsWindow());
}

void ViewerWindowTest::largeImageScrolls()
{
    auto window = open(QStringLiteral("big.pgm"));
    auto *area = window->findChild<QScrollArea *>();
    QTest::keyClick(window.get(), Qt::Key_0, Qt::ControlModifier); // from the fit to 1:1
    QCOMPARE(window->zoomStatus(), QStringLiteral("100 %"));
    QCOMPARE(window->imageLabel()->size(), QSize(1500, 1200));
    QTRY_VERIFY(area->horizontalScrollBar()->maximum() > 0);
    QVERIFY(area->verticalScrollBar()->maximum() > 0);
    // Scrolled half-way, the status bar reads the pixel there, not one of the top-left corner.
    area->horizontalScrollBar()->setValue(700);
    area->verticalScrollBar()->setValue(500);
    QTest::mouseMove(window->imageLabel(), QPoint(750, 600));
    QCOMPARE(window->pixelStatus(), QStringLiteral("x 750, y 600 · gris 90"));
    QVERIFY(window->comparisonStatus().isEmpty()); // align.pgm is another size
}

void ViewerWindowTest::psnrInStatusBar()
{
    auto window = open(QStringLiteral("Mov25.pgm"));
    // The ramp against a black reference: MSE 0.2066, computed apart from the viewer; no
    // structure in common.
    QTRY_COMPARE(window->comparisonStatus(),
                 QStringLiteral("PSNR frente a align.pgm: 6,8 dB · SSIM 0,000"));
    auto reference = open(QStringLiteral("ALIGN.PGM"));
    QVERIFY(reference->comparisonStatus().isEmpty()); // not against itself
}

void ViewerWindowTest::viewsByKeyKeepZoomAndScroll()
{
    auto window = open(QStringLiteral("mov25.pgm"));
    QTest::keyClick(window.get(), Qt::Key_Plus);
    QTest::keyClick(window.get(), Qt::Key_Plus);
    QTest::keyClick(window.get(), Qt::Key_E);
    QCOMPARE(window->view(), View::Spectrum);
    QCOMPARE(window->windowTitle(), QStringLiteral("mov25.pgm — Espectro"));
    QCOMPARE(window->scale(), 2.0);
    QCOMPARE(window->imageLabel()->size(), QSize(40, 24));
    QTest::mouseMove(window->imageLabel(), QPoint(21, 13)); // pixel (10, 6): DC, the mean
    QVERIFY2(window->pixelStatus().startsWith(QStringLiteral("x 10, y 6 · |F| ")),
             qPrintable(window->pixelStatus()));

    QTest::keyClick(window.get(), Qt::Key_D);
    QCOMPARE(window->view(), View::Difference);
    QVERIFY(window->viewStatus().contains(QStringLiteral("niveles")));
    QTest::mouseMove(window->imageLabel(), QPoint(7, 5)); // pixel (3, 2): 32 levels above black
    QCOMPARE(window->pixelStatus(), QStringLiteral("x 3, y 2 · diferencia 32"));

    // Blink: align.pgm in place of the image, and back with the same key.
    QTest::keyClick(window.get(), Qt::Key_I);
    QTest::keyClick(window.get(), Qt::Key_B);
    QVERIFY(window->showsReference());
    QCOMPARE(window->windowTitle(), QStringLiteral("align.pgm (en lugar de mov25.pgm)"));
    QCOMPARE(window->pixelStatus(), QStringLiteral("x 3, y 2 · gris 0"));
    QTest::keyClick(window.get(), Qt::Key_B);
    QCOMPARE(window->windowTitle(), QStringLiteral("mov25.pgm"));
    QCOMPARE(window->scale(), 2.0);

    QTest::keyClick(window.get(), Qt::Key_H);
    auto *dock = window->findChild<QDockWidget *>();
    QVERIFY(dock && dock->isVisible());

    // A large picture scrolled half-way stays where it was in the spectrum; without an
    // align.pgm of its size there is no difference to show.
    auto big = open(QStringLiteral("big.pgm"));
    auto *area = big->findChild<QScrollArea *>();
    QTest::keyClick(big.get(), Qt::Key_0, Qt::ControlModifier);
    QTRY_VERIFY(area->horizontalScrollBar()->maximum() > 0);
    area->horizontalScrollBar()->setValue(700);
    area->verticalScrollBar()->setValue(500);
    QTest::keyClick(big.get(), Qt::Key_E);
    QCOMPARE(big->view(), View::Spectrum);
    QCOMPARE(area->horizontalScrollBar()->value(), 700);
    QCOMPARE(area->verticalScrollBar()->value(), 500);
    QTest::keyClick(big.get(), Qt::Key_D);
    QCOMPARE(big->view(), View::Spectrum);
}

void ViewerWindowTest::closesWithEscape()
{
    auto window = open(QStringLiteral("mov25.pgm"));
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QTRY_VERIFY(!window->isVisible());
    window = open(QStringLiteral("mov25.pgm"));
    QTest::keyClick(window.get(), Qt::Key_W, Qt::ControlModifier);
    QTRY_VERIFY(!window->isVisible());
}

void ViewerWindowTest::savesAndCopiesTheView()
{
    auto window = open(QStringLiteral("mov25.pgm"));
    const QStringList lines {QStringLiteral("motion.exe distor.pgm mov25.pgm 25")};
    // The image view keeps the 16-bit samples, level for level, in the formats that hold them,
    // and the header's lines as the picture's text; the others get what the screen shows.
    for (const char *suffix : {"png", "tif", "pgm", "bmp", "jpg"}) {
        const QString path = m_dir->filePath(QStringLiteral("copia.") + QLatin1String(suffix));
        QVERIFY2(window->saveViewTo(path), suffix);
        const QImage saved = QImageReader(path).read();
        const bool deep = qstrcmp(suffix, "bmp") != 0 && qstrcmp(suffix, "jpg") != 0;
        QCOMPARE(saved.size(), QSize(20, 12));
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 20; ++x) {
                const int level = (10 * x + y) % 256;
                if (deep)
                    QCOMPARE(saved.pixelColor(x, y).rgba64().red(), 257 * level);
                else if (qstrcmp(suffix, "bmp") == 0)
                    QCOMPARE(qGray(saved.pixel(x, y)), level);
            }
        const OpenResult reopened = loadImage(native(path));
        QVERIFY2(reopened.image, qPrintable(reopened.error));
        QCOMPARE(reopened.image->maxval, deep ? 65535 : 255);
        if (qstrcmp(suffix, "bmp") != 0 && qstrcmp(suffix, "tif") != 0) // Qt keeps no text there
            QVERIFY2(reopened.image->lines == lines, suffix);
    }

    // A format it cannot write, or a folder that is not there: a reason, and no file.
    const QImage picture = window->currentPicture(true);
    QVERIFY(savePicture(picture, m_dir->filePath("copia.gif"), {}, {}).contains(".gif"));
    QVERIFY(!savePicture(picture, m_dir->filePath("falta/copia.png"), {}, {}).isEmpty());
    QVERIFY(!QFile::exists(m_dir->filePath("copia.gif")));
    QCOMPARE(savePicture(picture, m_dir->filePath("falta/copia.png"), {}, {}), "no existe");
    // A link under the name (a class photograph) is replaced, the file it leads to untouched.
    const QString theirs = m_dir->filePath(QStringLiteral("ajeno.pgm"));
    QVERIFY(QFile::copy(m_dir->filePath("mov25.pgm"), theirs));
    const QString link = m_dir->filePath(QStringLiteral("enlace.pgm"));
    QVERIFY(QFile::link(theirs, link));
    QVERIFY(savePicture(picture, link, {}, {QStringLiteral("otra")}).isEmpty());
    QVERIFY(!QFileInfo(link).isSymLink());
    const auto bytesOf = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QCOMPARE(bytesOf(theirs), bytesOf(m_dir->filePath("mov25.pgm")));

    // The spectrum saves and copies as it is drawn, at the image's size.
    QTest::keyClick(window.get(), Qt::Key_E);
    QTest::keyClick(window.get(), Qt::Key_Plus);
    const QImage spectrum
        = spectrumView(loadImage(native(m_dir->filePath("mov25.pgm"))).image->grey).display;
    const QString path = m_dir->filePath(QStringLiteral("espectro.png"));
    QVERIFY(window->saveViewTo(path));
    QCOMPARE(QImage(path).convertToFormat(QImage::Format_Grayscale8), spectrum);
    // Its lines say it is the viewer's spectrum, not the image's last step.
    QCOMPARE(loadImage(native(path)).image->lines,
             lines + QStringList {QStringLiteral("i_view32.exe espectro de mov25.pgm")});
    QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_Grayscale8),
             spectrum);

    // Once shown, the histogram is the view that leaves; choosing a view gives it back.
    QTest::keyClick(window.get(), Qt::Key_H);
    QWidget *histogram = window->findChild<QDockWidget *>()->widget();
    QCOMPARE(window->currentPicture(true), histogram->grab().toImage());
    QTest::keyClick(window.get(), Qt::Key_I);
    QCOMPARE(window->currentPicture(true).format(), QImage::Format_Grayscale16);
}

void ViewerWindowTest::reportDialogTakesConclusions()
{
    auto window = open(QStringLiteral("mov25.pgm"));
    const QString path = m_dir->filePath(QStringLiteral("informe-conclusiones.pdf"));
    bool filled = false;
    // The dialogs are modal: fill each once it is up, the file's first, then the conclusions'.
    QTimer::singleShot(0, window.get(), [&filled, &path] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->selectFile(path);
        QTimer::singleShot(0, [&filled] {
            QWidget *asked = QApplication::activeModalWidget();
            auto *field = asked ? asked->findChild<QPlainTextEdit *>(QStringLiteral("conclusiones"))
                                : nullptr;
            if (field) {
                // Reachable from its label's access key, named for a screen reader, and left
                // with Tab rather than filled with a tab.
                auto *label = asked->findChild<QLabel *>();
                filled = label && label->buddy() == field && !field->accessibleName().isEmpty()
                    && field->tabChangesFocus();
                // More than the pages hold is refused there, with the limit, and kept.
                const QString tooLong(report::kConclusionsLimit + 1, QLatin1Char('x'));
                field->setPlainText(tooLong);
                QMetaObject::invokeMethod(asked, "accept");
                auto *refusal = asked->findChild<QLabel *>(QStringLiteral("rechazo"));
                filled = filled && asked->isVisible() && field->toPlainText() == tooLong && refusal
                    && refusal->text().contains(QString::number(report::kConclusionsLimit));
                field->setPlainText(QStringLiteral("Se recupera casi todo."));
            }
            if (asked)
                QMetaObject::invokeMethod(asked, "accept");
        });
        QMetaObject::invokeMethod(dialog, "accept");
    });
    window->saveReport();
    QVERIFY(filled);
    QVERIFY(QFileInfo(path).size() > 0);
}

// A screen reader hears what the screen shows: every control, the picture and the histogram
// are named, and each view change reaches the focused widget's description.
void ViewerWindowTest::namesAndSpeaksTheView()
{
    auto window = open(QStringLiteral("mov25.pgm"));
    QTest::keyClick(window.get(), Qt::Key_H);
    auto *histogram = window->findChild<QDockWidget *>()->widget();
    QList<QWidget *> named {window->imageLabel(), histogram};
    for (QWidget *widget : window->findChildren<QWidget *>())
        if (widget->isVisible() && widget->focusPolicy() != Qt::NoFocus)
            named.append(widget);
    for (QWidget *widget : named) {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
        QVERIFY2(face && !face->text(QAccessible::Name).isEmpty(),
                 widget->metaObject()->className());
    }
    QCOMPARE(window->imageLabel()->accessibleName(), QStringLiteral("Imagen: mov25.pgm"));
    QCOMPARE(histogram->accessibleDescription(), QStringLiteral("Grises de 0 a 201, media 100,5"));
    QCOMPARE(window->focusWidget()->accessibleDescription(),
             QStringLiteral("Histograma: ") + histogram->accessibleDescription());

    QWidget *focus = window->focusWidget();
    QVERIFY(focus);
    QTest::keyClick(window.get(), Qt::Key_E);
    QCOMPARE(focus->accessibleDescription(), QStringLiteral("Espectro de mov25.pgm"));
    QTest::keyClick(window.get(), Qt::Key_D);
    QVERIFY(
        focus->accessibleDescription().startsWith(QStringLiteral("Diferencia con align.pgm: ±")));
    QTest::keyClick(window.get(), Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(focus->accessibleDescription(), QStringLiteral("Zoom 100 %"));
}

// Without a mouse: X starts the crosshair in the middle, the arrows move it (ten pixels with
// Shift, never off the image), and the focus says each reading.
void ViewerWindowTest::keyboardCrosshairReads()
{
    auto window = open(QStringLiteral("mov25.pgm"));
    QWidget *focus = window->focusWidget();
    QTest::keyClick(focus, Qt::Key_X);
    QCOMPARE(window->pixelStatus(),
             QStringLiteral("x 10, y 6 · gris 27242 de 65535 (106 en 0–255)"));
    QTest::keyClick(focus, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(focus, Qt::Key_Left);
    QTest::keyClick(focus, Qt::Key_Up);
    QVERIFY(window->pixelStatus().startsWith(QStringLiteral("x 18, y 5 ·")));
    QCOMPARE(focus->accessibleDescription(), window->pixelStatus());
    // The reading follows the view it is taken on.
    QTest::keyClick(focus, Qt::Key_E);
    QVERIFY(window->pixelStatus().contains(QStringLiteral("|F|")));
    QTest::keyClick(focus, Qt::Key_X);
    QCOMPARE(window->pixelStatus(), QStringLiteral("20 × 12 píxeles · 16 bits"));
}

QTEST_MAIN(ViewerWindowTest)
#include "test_viewerwindow.moc"

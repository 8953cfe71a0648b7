// The viewer's zoom without a window: the ladder of "Acercar" and "Alejar", the bound memory
// puts on it, the fitted factor and the pixel under the cursor.
#include "zoom.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace viewer;

class ZoomTest : public QObject
{
    Q_OBJECT

private slots:
    void zoomLadder();
    void zoomIsBoundedByMemory();
    void fitKeepsProportions();
    void pixelUnderCursor();
};

void ZoomTest::zoomLadder()
{
    QCOMPARE(zoomText(1224.0 / 4000, true), QStringLiteral("31 % (ajustada)"));
    QCOMPARE(zoomText(1.0 / 16, false), QStringLiteral("6,3 %"));
    QCOMPARE(zoomText(1, false), QStringLiteral("100 %"));
    const double big = 16;
    QCOMPARE(zoomInStep(1, big), 1.5);
    QCOMPARE(zoomOutStep(1), 2.0 / 3);
    // From an arbitrary fitted factor the next step is the neighbouring round one.
    QCOMPARE(zoomInStep(0.73, big), 1.0);
    QCOMPARE(zoomOutStep(0.73), 2.0 / 3);
    // In and out again comes back to 1 exactly, whatever rounding the thirds carry.
    double scale = 1;
    for (int i = 0; i < 5; ++i)
        scale = zoomInStep(scale, big);
    for (int i = 0; i < 5; ++i)
        scale = zoomOutStep(scale);
    QCOMPARE(scale, 1.0);
    // The ends of the ladder hold.
    QCOMPARE(zoomOutStep(kZoomSteps[0]), kZoomSteps[0]);
    QCOMPARE(zoomInStep(16, big), 16.0);
    QCOMPARE(zoomOutStep(0.01), 0.01); // a huge image fitted below the ladder stays put
}

void ZoomTest::zoomIsBoundedByMemory()
{
    QCOMPARE(maxScaleFor(QSize(512, 512)), 11.313708498984761); // sqrt(2^25 / 2^18)
    QCOMPARE(zoomInStep(8, maxScaleFor(QSize(512, 512))), 8.0);
    // 2048 x 2048 may go to 2x, not 3x: a 3x pixmap would need 150 MB.
    QCOMPARE(zoomInStep(1.5, maxScaleFor(QSize(2048, 2048))), 2.0);
    QCOMPARE(zoomInStep(2, maxScaleFor(QSize(2048, 2048))), 2.0);
    // The image's own size is always allowed, however big.
    QCOMPARE(maxScaleFor(QSize(16384, 16384)), 1.0);
    QCOMPARE(zoomInStep(2.0 / 3, maxScaleFor(QSize(16384, 16384))), 1.0);
    QCOMPARE(zoomInStep(1, maxScaleFor(QSize(16384, 16384))), 1.0);
}

void ZoomTest::fitKeepsProportions()
{
    QCOMPARE(fitScale(QSize(1000, 500), QSize(500, 500)), 0.5);
    QCOMPARE(fitScale(QSize(100, 100), QSize(400, 300)), 3.0); // small images are enlarged
    const QSize shown = scaledSize(QSize(512, 480), fitScale(QSize(512, 480), QSize(300, 300)));
    QVERIFY(shown.width() <= 300 && shown.height() <= 300);
    QVERIFY(shown.width() == 300 || shown.height() == 300);
    QCOMPARE(scaledSize(QSize(3, 3), 0.01), QSize(1, 1));
    QCOMPARE(fitScale(QSize(100, 100), QSize(0, 0)), 1.0); // a collapsed window changes nothing

    // The first window shows the image whole at its size when it fits, otherwise fitted to most
    // of the screen: a 12-megapixel photograph at 30.6 %.
    QCOMPARE(initialViewport(QSize(512, 512), QSize(1920, 1080)), QSize(512, 512));
    QCOMPARE(initialViewport(QSize(4000, 3000), QSize(1920, 1080)), QSize(1224, 918));
    QCOMPARE(initialViewport(QSize(4000, 300), QSize(1000, 800)), QSize(850, 160));
    QCOMPARE(initialViewport(QSize(16, 16), QSize(1000, 800)), QSize(360, 160));
}

void ZoomTest::pixelUnderCursor()
{
    const QSize image(100, 80);
    QCOMPARE(pixelAt(QPoint(0, 0), image, image), QPoint(0, 0));
    QCOMPARE(pixelAt(QPoint(99, 79), image, image), QPoint(99, 79));
    QCOMPARE(pixelAt(QPoint(5, 7), image, QSize(200, 160)), QPoint(2, 3));
    QCOMPARE(pixelAt(QPoint(49, 39), image, QSize(50, 40)), QPoint(98, 78));
    // At a non-whole factor every shown point maps inside the image, in order, and the last
    // shown column reaches the last pixel column but one at worst.
    const QSize shown = scaledSize(image, 2.0 / 3);
    int previous = 0;
    for (int x = 0; x < shown.width(); ++x) {
        const std::optional<QPoint> pixel = pixelAt(QPoint(x, shown.height() - 1), image, shown);
        QVERIFY(pixel && pixel->x() >= previous && pixel->x() < image.width());
        QVERIFY(pixel->y() >= image.height() - 2 && pixel->y() < image.height());
        previous = pixel->x();
    }
    QVERIFY(previous >= image.width() - 2);
    QVERIFY(!pixelAt(QPoint(100, 0), image, image));
    QVERIFY(!pixelAt(QPoint(0, 80), image, image));
    QVERIFY(!pixelAt(QPoint(-1, 3), image, image));
}

QTEST_GUILESS_MAIN(ZoomTest)
#include "test_zoom.moc"

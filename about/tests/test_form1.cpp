// The About box's window: captions, places at 96 dpi, fonts, the portrait, focus and tab
// order, and closing that unloads the window but not the object.
#include "authors.h"
#include "fakes.h"
#include "form1.h"
#include "registry.h"
#include "testenv.h"
#include "twips.h"

#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

using namespace platform;

class TestForm1 : public QObject
{
    Q_OBJECT

    std::unique_ptr<fakes::Registry> registry;
    std::unique_ptr<fakes::ProcessStarter> starter;
    std::unique_ptr<fakes::MessageBoxes> messages;
    std::unique_ptr<about::Form1> form;

    template<class T> T *child(const char *name)
    {
        T *widget = form->findChild<T *>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    void showAndActivate()
    {
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    bool nothingHappened() const { return starter->starts.isEmpty() && messages->texts.isEmpty(); }

private slots:
    void initTestCase()
    {
        // The places below are the designed twips at 96 dpi, 15 twips a pixel.
        QCOMPARE(screenDpi(), 96.0);
    }
    void init()
    {
        registry = std::make_unique<fakes::Registry>();
        starter = std::make_unique<fakes::ProcessStarter>();
        messages = std::make_unique<fakes::MessageBoxes>();
        form = std::make_unique<about::Form1>(*registry, *starter, *messages);
    }
    void cleanup() { form.reset(); }

    void isAnOwnerlessTopLevelWindow()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("Form1"));
        QVERIFY(form->isWindow());
        QCOMPARE(form->parentWidget(), nullptr);
        QVERIFY(!form->testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(!form->isModal());
        QCOMPARE(form->size(), QSize(581, 508));
    }

    void controlsAtTheirPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::newRow("frame") << "fraMainFrame" << QRect(0, 0, 668, 570);
        QTest::newRow("Info. del sistema") << "Command2" << QRect(368, 312, 97, 25);
        QTest::newRow("Aceptar") << "Command1" << QRect(368, 264, 97, 25);
        QTest::newRow("portrait") << "picLogo" << QRect(48, 136, 154, 195);
    }

    void controlsAtTheirPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QWidget *widget = form->findChild<QWidget *>(name);
        QVERIFY(widget);
        QCOMPARE(widget->geometry(), place);
    }

    void frameReachesBeyondTheWindow()
    {
        auto *frame = child<QFrame>("fraMainFrame");
        QCOMPARE(frame->parentWidget(), form.get());
        QVERIFY(frame->geometry().right() > form->rect().right());
        QVERIFY(frame->geometry().bottom() > form->rect().bottom());
        // Every other control lies inside it.
        for (QWidget *widget : form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            QCOMPARE(widget, static_cast<QWidget *>(frame));
        QCOMPARE(frame->findChildren<QWidget *>().size(), 7);
    }

    void labelsTakeTheSizeOfTheirText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QPoint>("topLeft");
        QTest::addColumn<double>("points");
        QTest::newRow("title") << "lblCompanyProduct"
                               << "Tavelio" << QPoint(167, 51) << 18.0;
        QTest::newRow("made by") << "lblProductName"
                                 << "Realizado por: " << QPoint(296, 136) << 12.0;
        QTest::newRow("first author")
            << "lblPlatform" << QString::fromUtf8(about::kFirstAuthor) << QPoint(296, 176) << 12.0;
        QTest::newRow("second author")
            << "lblVersion" << QString::fromUtf8(about::kSecondAuthor) << QPoint(296, 216) << 12.0;
    }

    void labelsTakeTheSizeOfTheirText()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QPoint, topLeft);
        QFETCH(double, points);
        auto *label = form->findChild<QLabel *>(name);
        QVERIFY(label);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->pos(), topLeft);
        QCOMPARE(label->size(), label->sizeHint());
        QCOMPARE(label->font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(label->font().pointSizeF(), points);
        QVERIFY(label->font().bold());
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    }

    void authorsAreWrittenSurnameFirst()
    {
        const QRegularExpression surnameFirst(QStringLiteral("^[^,]+, [^, ][^,]*$"));
        QVERIFY(surnameFirst.match(QString::fromUtf8(about::kFirstAuthor)).hasMatch());
        QVERIFY(surnameFirst.match(QString::fromUtf8(about::kSecondAuthor)).hasMatch());
    }

    void buttonsUseTheWindowFont()
    {
        auto *info = child<QPushButton>("Command2");
        auto *ok = child<QPushButton>("Command1");
        QCOMPARE(info->text(), QStringLiteral("Info. del &sistema..."));
        QCOMPARE(ok->text(), QStringLiteral("Aceptar"));
        QCOMPARE(info->font(), form->font());
        QCOMPARE(ok->font(), form->font());
        QVERIFY(!form->testAttribute(Qt::WA_SetFont));
        QVERIFY(!info->isDefault() && !info->autoDefault());
        QVERIFY(!ok->isDefault() && !ok->autoDefault());
    }

    void portraitFillsItsSunkenBox()
    {
        auto *picture = child<QLabel>("picLogo");
        QCOMPARE(picture->pixmap().size(), QSize(150, 191));
        QCOMPARE(picture->frameShadow(), QFrame::Sunken);
        QVERIFY(picture->frameWidth() > 0);
        QCOMPARE(picture->contentsRect().size(), QSize(150, 191));
        QCOMPARE(picture->size(),
                 QSize(150, 191) + 2 * QSize(picture->frameWidth(), picture->frameWidth()));
        // The bitmap itself: a BMP of 24 bits a pixel.
        QFile bmp(QStringLiteral(":/about/portrait.bmp"));
        QVERIFY(bmp.open(QIODevice::ReadOnly));
        const QByteArray header = bmp.read(54);
        QVERIFY(header.startsWith("BM"));
        QCOMPARE(qFromLittleEndian<quint16>(header.constData() + 28), quint16(24));
        // Not blank: a drawn picture has many colours.
        const QImage image = picture->pixmap().toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3)
                colours.insert(image.pixel(x, y));
        QVERIFY(colours.size() > 50);
    }

    void focusStartsOnThePictureAndTabsThroughTheButtons()
    {
        showAndActivate();
        auto *picture = child<QLabel>("picLogo");
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(picture));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(),
                 static_cast<QWidget *>(child<QPushButton>("Command1")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(),
                 static_cast<QWidget *>(child<QPushButton>("Command2")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(picture));
    }

    void enterAndEscapePressNeitherButton()
    {
        showAndActivate();
        for (const char *focused : {"picLogo", "Command1", "Command2"}) {
            form->findChild<QWidget *>(QString::fromLatin1(focused))->setFocus();
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
                QTest::keyClick(QApplication::focusWidget(), key);
                QVERIFY2(form->isVisible(), focused);
                QVERIFY2(nothingHappened(), focused);
            }
        }
    }

    void accessKeyPressesInfoButton()
    {
        showAndActivate();
        // Through the window, as the keyboard delivers it, so the shortcut map sees it.
        QTest::keyClick(form->windowHandle(), Qt::Key_S, Qt::AltModifier);
        // A shortcut animates the click, which ends a moment later. An empty registry: the one
        // message.
        QTRY_COMPARE(messages->texts.size(), 1);
        QVERIFY(form->isVisible());
    }

    void infoButtonStartsTheProgram()
    {
        testenv::Drive drive;
        const QString program = drive.program(QStringLiteral("windows/system32/msinfo32.exe"));
        registry->setText("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                          "c:\\windows\\system32\\msinfo32.exe");
        showAndActivate();
        QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
        // Each click starts another instance; the About box stays.
        QCOMPARE(starter->starts.size(), 2);
        QCOMPARE(starter->starts[1].program, program);
        QVERIFY(form->isVisible());
    }

    // "Aceptar" and the close box unload the window, not the object: the next show is a fresh
    // window at the designed size, however the last one was moved and resized.
    void closingUnloadsTheWindow_data()
    {
        QTest::addColumn<bool>("aceptar");
        QTest::newRow("Aceptar") << true;
        QTest::newRow("close box") << false;
    }

    void closingUnloadsTheWindow()
    {
        QFETCH(bool, aceptar);
        showAndActivate();
        QPointer<QWidget> alive(form.get());
        QPointer<QWindow> window(form->windowHandle());
        form->setGeometry(300, 250, 320, 200);
        if (aceptar) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // focus on "Aceptar"
            QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
        } else {
            QVERIFY(form->close());
        }
        QVERIFY(!form->isVisible());
        QTRY_VERIFY(!window);
        QVERIFY(alive);

        showAndActivate();
        QVERIFY(form->windowHandle());
        QCOMPARE(form->size(), QSize(581, 508));
        QVERIFY(form->pos() != QPoint(300, 250));
        QCOMPARE(child<QLabel>("lblCompanyProduct")->text(), QStringLiteral("Tavelio"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(child<QLabel>("picLogo")));
        QVERIFY(nothingHappened());
    }
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"

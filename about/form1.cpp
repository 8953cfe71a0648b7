// The About box's window: controls at their designed places, in twips.
#include "form1.h"

#include "authors.h"
#include "fonts.h"
#include "twips.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

// The portrait is compiled into this static library; its resources must be registered by name.
static void initAboutResources()
{
    Q_INIT_RESOURCE(about);
}

namespace about {

namespace {

// A label that takes the size of its text, as the designer's AutoSize labels do.
QLabel *autoSizeLabel(QWidget *parent, const char *name, const QString &text, double left,
                      double top, const QFont &font, double dpi)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->move(platform::twipsToPixels(left, dpi), platform::twipsToPixels(top, dpi));
    label->adjustSize();
    return label;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, const QRect &place)
{
    auto *pushButton = new QPushButton(caption, parent);
    pushButton->setObjectName(QString::fromLatin1(name));
    pushButton->setGeometry(place);
    // Neither button is the default or the cancel button: Enter and Escape press neither.
    pushButton->setAutoDefault(false);
    pushButton->setDefault(false);
    return pushButton;
}

// A plain top-level widget reaches AT-SPI as a filler, and Orca ignores the focus inside a
// window it does not take for one: the portrait and the buttons would go unheard.
QAccessibleInterface *accessibleAsWindow(const QString &className, QObject *object)
{
    if (className == QLatin1String(Form1::staticMetaObject.className()) && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

Form1::Form1(platform::Registry &registry, platform::ProcessStarter &starter,
             platform::MessageBoxes &messages, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , registry_(registry)
    , starter_(starter)
    , messages_(messages)
{
    initAboutResources();
    // Before anything here is asked for its accessible interface, which is then kept.
    static const bool factoryInstalled = (QAccessible::installFactory(accessibleAsWindow), true);
    Q_UNUSED(factoryInstalled);
    const double dpi = platform::screenDpi();
    using platform::twipsRect;
    using platform::twipsToPixels;

    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    // The caption stays as designed; a screen reader says what the window is.
    setAccessibleName(QStringLiteral("Acerca de Tavelio"));
    resize(designedSize());

    // The frame is larger than the client area: its right and bottom edges lie outside.
    fraMainFrame = new QFrame(this);
    fraMainFrame->setObjectName(QStringLiteral("fraMainFrame"));
    fraMainFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    fraMainFrame->setGeometry(twipsRect(0, 0, 10020, 8550, dpi));

    Command2 = button(fraMainFrame, "Command2", QStringLiteral("Info. del &sistema..."),
                      twipsRect(5520, 4680, 1455, 375, dpi));
    Command1 = button(fraMainFrame, "Command1", QStringLiteral("Aceptar"),
                      twipsRect(5520, 3960, 1455, 375, dpi));

    // The picture box is exactly the portrait plus its sunken border, whatever the dpi.
    picLogo = new QLabel(fraMainFrame);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picLogo->setLineWidth(2);
    picLogo->setPixmap(QPixmap(QStringLiteral(":/about/portrait.bmp")));
    picLogo->setFocusPolicy(Qt::StrongFocus);
    picLogo->setAccessibleName(QStringLiteral("Retrato"));
    const int border = picLogo->frameWidth();
    picLogo->setGeometry(QRect(QPoint(twipsToPixels(720, dpi), twipsToPixels(2040, dpi)),
                               picLogo->pixmap().size() + QSize(2 * border, 2 * border)));

    const QFont names = platform::tahoma(12, true);
    lblVersion = autoSizeLabel(fraMainFrame, "lblVersion", QString::fromUtf8(kSecondAuthor), 4440,
                               3240, names, dpi);
    lblPlatform = autoSizeLabel(fraMainFrame, "lblPlatform", QString::fromUtf8(kFirstAuthor), 4440,
                                2640, names, dpi);
    lblCompanyProduct = autoSizeLabel(fraMainFrame, "lblCompanyProduct", QStringLiteral("Tavelio"),
                                      2505, 765, platform::tahoma(18, true), dpi);
    lblProductName = autoSizeLabel(fraMainFrame, "lblProductName",
                                   QStringLiteral("Realizado por: "), 4440, 2040, names, dpi);

    // The labels take no focus, so the tab order is the picture, "Aceptar", then
    // "Info. del sistema...".
    setTabOrder(picLogo, Command1);
    setTabOrder(Command1, Command2);

    connect(Command1, &QPushButton::clicked, this, &QWidget::close);
    connect(Command2, &QPushButton::clicked, this, &Form1::StartSysInfo);
}

void Form1::showEvent(QShowEvent *event)
{
    // Every load starts with the focus on the picture, first in the tab order.
    picLogo->setFocus(Qt::OtherFocusReason);
    QWidget::showEvent(event);
}

void Form1::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    // The window is still handling its close; it is unloaded once that is over.
    if (event->isAccepted())
        QTimer::singleShot(0, this, &Form1::unloadWindow);
}

void Form1::unloadWindow()
{
    if (isVisible())
        return; // shown again before the unload came round
    destroy();
    setAttribute(Qt::WA_Moved, false); // the window system places the next window
    resize(designedSize());
}

QSize Form1::designedSize()
{
    const double dpi = platform::screenDpi();
    return QSize(platform::twipsToPixels(8715, dpi), platform::twipsToPixels(7620, dpi));
}

} // namespace about

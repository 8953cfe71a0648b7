// frmMain: controls at their designed places, the menu tree from its table, and handlers that
// hand their work to plain code.
#include "frmmain.h"

#include "accessibility.h"
#include "captionbutton.h"
#include "contracts.h"
#include "drivec.h"
#include "failurelog.h"
#include "filecommands.h"
#include "fonts.h"
#include "opendialog.h"
#include "physicalmemory.h"
#include "texts.h"
#include "twips.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <limits>

// The arrow lives in the resources of a static library, which must be brought in by name.
static void initResources()
{
    Q_INIT_RESOURCE(app);
}

namespace app {

namespace {

// The most bytes a bitmap may take decoded: a quarter of this machine's memory, and no more
// than Qt's limit can say in megabytes.
quint64 largestPictureBytes()
{
    return std::min(quint64(platform::physicalMemory() / 4),
                    quint64(std::numeric_limits<int>::max() - 1) << 20);
}

// Designed client area, in twips.
constexpr double kDesignWidth = 8880;
constexpr double kDesignHeight = 8085;
constexpr double kStatusBarHeight = 270;
constexpr double kPanelMinWidth = 1440;

QString fromUtf8(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

frmMain::frmMain(MainServices services)
    : m_services(std::move(services))
    , m_runner(m_services.processes, m_services.messages,
               QString::fromStdString(m_services.drives.workingFolder.string()))
    , m_dpi(platform::screenDpi())
{
    initResources();
    setWindowTitle(QStringLiteral("Tavelio"));
    setFont(platform::tahoma(9.75, true));
    createControls();
    createMenus();
    createStatusBar();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::createControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    // The system colour for scroll bars has no Qt role; the button colour is the same grey.
    QPalette palette = client->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    client->setPalette(palette);
    client->setAutoFillBackground(true);
    client->setMinimumSize(0, 0);
    setCentralWidget(client);

    const auto place
        = [this](QWidget *widget, double left, double top, double width, double height) {
              widget->setGeometry(platform::twipsRect(left, top, width, height, m_dpi));
          };

    Command1 = new CaptionButton(QStringLiteral("Mostrar imagen resturada"), client);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setFont(platform::tahoma(9, true));
    place(Command1, 4920, 5040, 1935, 975);

    Command2 = new CaptionButton(QStringLiteral("Mostrar Imagen &Distorsionada"), client);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setFont(platform::tahoma(9, true));
    place(Command2, 4920, 2400, 1935, 1095);

    // Enter and Escape press neither button.
    for (CaptionButton *button : {Command1, Command2}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmMain::Command2_Click);

    Label1 = new QLabel(client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(platform::tahoma(9.75, false));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setAutoFillBackground(true);
    place(Label1, 480, 240, 3735, 1455);

    Image2 = new QLabel(client);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(QPixmap(QStringLiteral(":/app/arrow.gif")));
    place(Image2, 5760, 3720, 495, 825);

    Image1 = new QLabel(client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Image1->setLineWidth(1);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(Image1, 360, 2760, 2415, 1935);
    Image1->setAccessibleName(pictureName(QString()));
    nameControls(Image2, Command1);
    setExplanation(initialText());

    // Pictures and the label lie under the buttons, as lightweight controls do on Windows: an
    // opened image larger than its box extends under the buttons, not over them.
    Command1->raise();
    Command2->raise();
    setTabOrder(Command2, Command1);
    Command2->setFocus();
}

void frmMain::createMenus()
{
    // The menu bar has the system's menu font, not the window's bold; the drop-down menus are
    // windows of their own and have it already.
    menuBar()->setFont(platform::systemFont());
    QMenu *parents[3] = {};
    for (int i = 0; i < kMenuCount; ++i) {
        const MenuEntry &entry = kMenu[i];
        const QString caption = fromUtf8(entry.caption);
        if (entry.action == MenuAction::Submenu) {
            QMenu *menu = entry.level == 0 ? menuBar()->addMenu(caption)
                                           : parents[entry.level - 1]->addMenu(caption);
            menu->setObjectName(QLatin1String(entry.control));
            menu->menuAction()->setObjectName(QLatin1String(entry.control));
            parents[entry.level] = menu;
            continue;
        }
        QAction *action = parents[entry.level - 1]->addAction(caption);
        action->setObjectName(QLatin1String(entry.control));
        connectEntry(entry, action);
    }
}

void frmMain::connectEntry(const MenuEntry &entry, QAction *action)
{
    switch (entry.action) {
    case MenuAction::FileOpen:
        connect(action, &QAction::triggered, this, &frmMain::mnuFileOpen_Click);
        break;
    case MenuAction::FileClose:
        connect(action, &QAction::triggered, this, &frmMain::mnuFileClose_Click);
        break;
    case MenuAction::FileExit:
        mnuFileExit = action;
        connect(action, &QAction::triggered, this, &QWidget::close);
        break;
    case MenuAction::About:
        connect(action, &QAction::triggered, this, &frmMain::Acerca_Click);
        break;
    case MenuAction::Operation:
        if (const ops::Operation *operation = ops::findOperation(entry.control)) {
            connect(action, &QAction::triggered, this,
                    [this, operation] { ops::runOperation(*operation, *this); });
        }
        break;
    case MenuAction::Submenu:
        break;
    }
}

void frmMain::createStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("sbStatusBar"));
    bar->setFont(platform::systemFont()); // a status bar control draws in the system font
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(platform::twipsToPixels(kStatusBarHeight, m_dpi));
    const int minWidth = platform::twipsToPixels(kPanelMinWidth, m_dpi);

    auto *state = m_statePanel = new QLabel(QStringLiteral("Estado"), bar);
    auto *date = new QLabel(bar);
    auto *time = new QLabel(bar);
    state->setObjectName(QStringLiteral("panelEstado"));
    date->setObjectName(QStringLiteral("panelDate"));
    time->setObjectName(QStringLiteral("panelTime"));
    for (QLabel *panel : {state, date, time}) {
        panel->setMinimumWidth(minWidth);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    bar->addWidget(state, 1);
    bar->addPermanentWidget(date);
    bar->addPermanentWidget(time);

    const auto refresh = [date, time] {
        const QDateTime now = QDateTime::currentDateTime();
        const QLocale locale;
        date->setText(locale.toString(now.date(), QLocale::ShortFormat));
        time->setText(locale.toString(now.time(), QLocale::ShortFormat));
    };
    refresh();
    auto *clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, refresh);
    clock->start(1000);
}

void frmMain::Form_Load()
{
    m_placement = readPlacement();
    applyPlacement();
    m_methods.restoreMethod.clear();
    m_methods.distortMethod.clear();
}

void frmMain::applyPlacement()
{
    // The stored numbers are the outer frame's: the client area is what the frame leaves.
    const QSize frame = frameGeometry().size() - geometry().size();
    move(platform::twipsToPixels(m_placement.left(), m_dpi),
         platform::twipsToPixels(m_placement.top(), m_dpi));
    resize(QSize(platform::twipsToPixels(m_placement.width(), m_dpi),
                 platform::twipsToPixels(m_placement.height(), m_dpi))
           - frame);
}

bool frmMain::event(QEvent *event)
{
    // A window manager frames the window only after it is shown, and the frame's size reaches
    // Qt with a later move or resize. The size loaded before that counted no frame; fit it once
    // the frame is known. Without a window manager the frame stays empty and nothing changes.
    const bool result = QMainWindow::event(event);
    if (!m_placementFitted && (event->type() == QEvent::Move || event->type() == QEvent::Resize)
        && frameGeometry().size() != geometry().size()) {
        m_placementFitted = true;
        if (!isMaximized() && !isMinimized())
            applyPlacement();
    }
    return result;
}

void frmMain::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void frmMain::Form_Unload()
{
    if (m_about)
        m_about->close();
    // An operation paused between its two steps does not start its second step once the
    // window is gone: the program is ending, and nobody could show the result.
    m_pauses.cancelAll();
    if (isMinimized())
        return;
    const QRect outer = frameGeometry();
    const QRectF shown(platform::pixelsToTwips(outer.left(), m_dpi),
                       platform::pixelsToTwips(outer.top(), m_dpi),
                       platform::pixelsToTwips(outer.width(), m_dpi),
                       platform::pixelsToTwips(outer.height(), m_dpi));
    savePlacement(placementToSave(shown, readPlacement(),
                                  windowPositionKnown(QGuiApplication::platformName())));
}

void frmMain::mnuFileOpen_Click()
{
    const QString previous = m_dialogFileName.isEmpty()
        ? QString()
        : QString::fromStdString(
            dos::toNative(m_dialogFileName.toStdString(), m_services.drives).value_or("").string());
    const QString chosen = m_services.openDialog.exec(this, kOpenTitle, kBitmapFilter, previous);
    if (!chosen.isEmpty())
        m_dialogFileName
            = QString::fromStdString(dos::toDos(chosen.toStdString(), m_services.drives));

    if (!loadPicture(m_dialogFileName) || m_dialogFileName.isEmpty())
        return;
    mnuFileExit->setEnabled(true);
    setExplanation(openText());

    const std::optional<QString> twin = pgmTwinName(m_dialogFileName);
    if (!twin) {
        m_services.messages.show(
            this,
            tr("No se puede alinear %1: elija el mapa de bits en la carpeta de herramientas %2, "
               "junto a su imagen PGM.")
                .arg(m_dialogFileName, QLatin1String(dos::kToolFolder)));
        return;
    }
    m_runner.run(this, QStringLiteral("align.bat"),
                 QString::fromStdString(tools::alignCommandLine(twin->toStdString())),
                 platform::vbHide);
}

bool frmMain::loadPicture(const QString &dosName)
{
    if (dosName.isEmpty()) {
        Image1->clear();
        Image1->setAccessibleName(pictureName(QString()));
        return true;
    }
    const auto native = dos::toNative(dosName.toStdString(), m_services.drives);
    QImageReader reader(QString::fromStdString(native.value_or("").string()));
    // Image1 shows the bitmap at its own size, so it is read whole. Qt refuses a picture over
    // 128 MB decoded, and a phone's 48 megapixels are 192 MB: the limit is what this machine
    // holds instead, checked here first so that the refusal says why.
    const QSize size = reader.size();
    const quint64 largest = largestPictureBytes();
    if (size.isValid() && quint64(size.width()) * quint64(size.height()) * 4 > largest) {
        m_services.messages.show(
            this,
            tr("No se pudo cargar la imagen %1: mide %2x%3 píxeles, más de los %4 megapíxeles que "
               "caben en la memoria de este equipo")
                .arg(dosName)
                .arg(size.width())
                .arg(size.height())
                .arg(largest / 4 / 1000000));
        return false;
    }
    const int qtLimit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(int(largest >> 20) + 1);
    QImage picture = reader.read();
    QImageReader::setAllocationLimit(qtLimit);
    if (picture.isNull()) {
        m_services.messages.show(
            this, tr("No se pudo cargar la imagen %1: %2").arg(dosName, reader.errorString()));
        return false;
    }
    const int border = 2 * Image1->frameWidth();
    Image1->resize(picture.size() + QSize(border, border));
    Image1->setPixmap(QPixmap::fromImage(std::move(picture)));
    Image1->setAccessibleName(pictureName(dosName));
    return true;
}

void frmMain::mnuFileClose_Click()
{
    Image1->clear();
    Image1->setAccessibleName(pictureName(QString()));
    mnuFileExit->setEnabled(false);
}

void frmMain::Acerca_Click()
{
    if (!m_about && m_services.createAboutBox)
        m_about = m_services.createAboutBox();
    if (!m_about)
        return;
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void frmMain::Command1_Click()
{
    showResult(showRestored(m_methods));
}

void frmMain::Command2_Click()
{
    showResult(showDistorted(m_methods));
}

void frmMain::showResult(const ShowAction &action)
{
    m_services.messages.show(this, action.message);
    if (!action.viewerLine.isEmpty())
        m_runner.run(this, kViewerBatch, action.viewerLine, platform::vbHide);
}

void frmMain::setExplanation(const QString &text)
{
    explain(Label1, {Command2, Command1}, text);
}

platform::Started frmMain::runBatch(const QString &fileName, const QString &commandLine,
                                    platform::WindowStyle style)
{
    return m_runner.run(this, fileName, commandLine, style);
}

ops::FirstStep frmMain::waitForFirstStep(double seconds, platform::StartedProgram &first,
                                         const QString &tool)
{
    if (!Espera(seconds))
        return ops::FirstStep::Closing;
    // On a fast machine the tool has ended within the pause, and the click costs no more than
    // it. Past it the window says what it waits for; a wait chosen inside this one puts its
    // own text up and the panel's earlier text back.
    const QString before = m_statePanel->text();
    const bool waited = first.running();
    if (waited) {
        m_statePanel->setText(tr("Esperando a %1…").arg(tool));
        if (m_waits++ == 0)
            setCursor(Qt::BusyCursor);
    }
    const ops::FirstStep ended
        = m_pauses.untilEnded(first, std::chrono::minutes(ops::kFirstStepLimitMinutes));
    if (waited) {
        m_statePanel->setText(before);
        if (--m_waits == 0)
            unsetCursor();
    }
    return ended;
}

void frmMain::logNotRun(const QString &commandLine, const QString &why)
{
    const QString program = commandLine.section(QLatin1Char(' '), 0, 0);
    const QString arguments = commandLine.section(QLatin1Char(' '), 1);
    // 124, as timeout(1) reports a command it gave up on.
    failures::record({failures::now(),
                      dos::toDos(m_services.drives.workingFolder, m_services.drives), 124,
                      program.toStdString(), arguments.toStdString(), why.toStdString()});
}

void frmMain::setMethod(ops::MethodKind kind, const QString &value)
{
    (kind == ops::MethodKind::Distort ? m_methods.distortMethod : m_methods.restoreMethod) = value;
}

} // namespace app

// The explorer, offscreen, on a chain made with the real tools: every control is named and
// the slider answers the keyboard; the value chosen and the regions drawn by mouse and keyboard
// reach the tool as exactly what was chosen, and the real snr.exe zeroes exactly those.
#include "explorer.h"
#include "explorerboxes.h"
#include "explorerregions.h"
#include "explorervalue.h"
#include "fakes.h"
#include "linekeys.h"
#include "pnm.h"
#include "runtool.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <memory>

using namespace viewer;

namespace {

// Every widget the keyboard can reach, with the name a screen reader says for it.
QStringList unnamedControls(QWidget *window)
{
    QStringList unnamed;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        const auto *area = qobject_cast<QAbstractScrollArea *>(widget->parentWidget());
        if (widget->focusPolicy() == Qt::NoFocus || !widget->isVisible()
            || (area && area->viewport() == widget)) // the area's own name is said
            continue;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << QString::fromLatin1(widget->metaObject()->className());
    }
    return unnamed;
}

std::vector<restore::DisplayRect> regionsOf(const std::string &file)
{
    std::vector<std::string> lines;
    img::readPnm(file, nullptr, &lines);
    return report::regionsOfWord(img::lineValue(lines.back(), img::kRegionsKey).value_or(""));
}

} // namespace

class ExplorerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void valueExplorerIsNamedAndAnswersTheTool();
    void regionsReachSnrExactly();

private:
    std::unique_ptr<QWidget> open(const char *result);

    TempDir m_chain;
    fakes::ProcessStarter m_starter;
};

void ExplorerTest::initTestCase()
{
    const auto run = [this](const std::string &tool, const std::string &line,
                            const std::string &answers = "") {
        const ToolRun done = runLine(m_chain, tool, line, answers);
        QVERIFY2(done.status == 0, done.err.c_str());
    };
    std::filesystem::copy_file(toolPath("psf1A.pgm"), m_chain.path / "psf1A.pgm");
    run("align.exe", toolPath("coins.pgm").string());
    run("blur.exe", "align.pgm psf1A.pgm blur.pgm");
    run("snoise.exe", "blur.pgm distor.pgm");
    run("wiener.exe", "distor.pgm psf1A.pgm wiener.pgm", "0.001\n");
    run("snr.exe", "distor.pgm retiro.pgm", "\n");
}

std::unique_ptr<QWidget> ExplorerTest::open(const char *result)
{
    QString error;
    m_starter.starts.clear();
    std::unique_ptr<QWidget> window(
        explorerFor(m_chain.path / result, QString::fromLatin1(result), m_starter, &error));
    if (!window)
        qWarning("%s", qPrintable(error));
    else
        window->setAttribute(Qt::WA_DeleteOnClose, false);
    return window;
}

void ExplorerTest::valueExplorerIsNamedAndAnswersTheTool()
{
    std::unique_ptr<QWidget> window = open("wiener.pgm");
    QVERIFY(window);
    auto *explorer = qobject_cast<ValueExplorer *>(window.get());
    QVERIFY(explorer);
    explorer->show();
    QVERIFY(QTest::qWaitForWindowExposed(explorer));
    QVERIFY(explorer->windowTitle().startsWith(QStringLiteral("Explorar k")));
    QVERIFY2(unnamedControls(explorer).isEmpty(), qPrintable(unnamedControls(explorer).join(" ")));
    QTRY_VERIFY_WITH_TIMEOUT(explorer->curveDone(), 20000);
    QVERIFY(explorer->curve().size() >= 40);
    QCOMPARE(explorer->value(), 0.001);

    // The keyboard moves the slider, and the picture follows it whole.
    auto *slider = explorer->findChild<QSlider *>();
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_PageUp);
    QVERIFY(explorer->value() > 0.001);
    QTRY_VERIFY(explorer->pictureCurrent());

    // A value typed with a decimal comma is the one the tool is answered.
    auto *field = explorer->findChild<QLineEdit *>();
    field->setText(QStringLiteral("0,0123"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(explorer->value(), 0.0123);
    explorer->useValue();
    QCOMPARE(m_starter.starts.size(), 1);
    const fakes::Start &start = m_starter.starts.last();
    QVERIFY(start.program.endsWith(QStringLiteral("/wiener.exe")));
    QCOMPARE(start.arguments, QStringList({"distor.pgm", "psf1A.pgm", "wiener.pgm"}));
    QCOMPARE(start.answers, QByteArray("0,0123\n"));
    QCOMPARE(start.workingFolder, QString::fromStdString(m_chain.path.string()));
}

void ExplorerTest::regionsReachSnrExactly()
{
    std::unique_ptr<QWidget> window = open("retiro.pgm");
    QVERIFY(window);
    auto *explorer = qobject_cast<RegionExplorer *>(window.get());
    QVERIFY(explorer);
    explorer->show();
    QVERIFY(QTest::qWaitForWindowExposed(explorer));
    QVERIFY(explorer->windowTitle().startsWith(QStringLiteral("Explorar")));
    QVERIFY2(unnamedControls(explorer).isEmpty(), qPrintable(unnamedControls(explorer).join(" ")));

    SpectrumBoxes *boxes = explorer->spectrum();
    const std::vector<restore::DisplayRect> proposed = regionsOf(m_chain.file("retiro.pgm"));
    QVERIFY(!proposed.empty());
    QCOMPARE(boxes->boxes(), proposed);
    QAbstractButton *use = nullptr;
    for (QAbstractButton *button : explorer->findChildren<QAbstractButton *>())
        if (button->accessibleName() == QStringLiteral("Usar estas regiones"))
            use = button;
    QVERIFY(use && use->isEnabled());

    // No box left: nothing to answer, since an empty answer is the tool's own proposal.
    boxes->setFocus();
    for (size_t i = 0; i < proposed.size(); ++i)
        QTest::keyClick(boxes, Qt::Key_Delete);
    QVERIFY(boxes->boxes().empty());
    QVERIFY(!use->isEnabled());

    // One box by keyboard on the first proposal, moved and widened; one drawn by the mouse on
    // a spectrum shown one pixel a bin.
    QTest::keyClick(boxes, Qt::Key_Insert);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(boxes, Qt::Key_Right);
    QTest::keyClick(boxes, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(boxes, Qt::Key_Down, Qt::ShiftModifier);
    const restore::DisplayRect p = proposed.front();
    const restore::DisplayRect keyed {p.x0 + 3, p.y0, p.x1 + 3, p.y1 + 2};
    boxes->setFixedSize(384, 303);
    QCOMPARE(boxes->toSpectrum(QPointF(40.5, 30.5)), QPoint(40, 30));
    QTest::mousePress(boxes, Qt::LeftButton, {}, QPoint(40, 30));
    QTest::mouseMove(boxes, QPoint(30, 44));
    QTest::mouseRelease(boxes, Qt::LeftButton, {}, QPoint(30, 44));
    const std::vector<restore::DisplayRect> drawn {keyed, {30, 30, 40, 44}};
    QCOMPARE(boxes->boxes(), drawn);
    QVERIFY(use->isEnabled());

    use->click();
    QCOMPARE(m_starter.starts.size(), 1);
    const fakes::Start &start = m_starter.starts.last();
    QVERIFY(start.program.endsWith(QStringLiteral("/snr.exe")));
    QCOMPARE(start.arguments, QStringList({"distor.pgm", "retiro.pgm"}));
    const QByteArray answers = QByteArrayLiteral("%1 %2 %3 %4\n30 30 40 44\n\n")
                                   .replace("%1", QByteArray::number(keyed.x0))
                                   .replace("%2", QByteArray::number(keyed.y0))
                                   .replace("%3", QByteArray::number(keyed.x1))
                                   .replace("%4", QByteArray::number(keyed.y1));
    QCOMPARE(start.answers, answers);

    // The real tool, answered so, zeroes exactly those regions.
    const ToolRun run = runLine(m_chain, "snr.exe", "distor.pgm mine.pgm", answers.toStdString());
    QCOMPARE(run.status, 0);
    QCOMPARE(regionsOf(m_chain.file("mine.pgm")), drawn);
}

QTEST_MAIN(ExplorerTest)
#include "test_explorer.moc"

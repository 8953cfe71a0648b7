// The fifteen operations: every row's text, batch files, window styles and method value, and
// the recipe's behaviour around pauses and failures.
#include "fakes.h"
#include "menus.h"
#include "operations.h"

#include <QtTest>
#include <functional>

namespace {

struct Call
{
    QString kind; // "text", "batch", "pause", "log", "method"
    QString a;
    QString b;
    int style = -1;
};

// A host that records what an operation asks of the window.
class RecordingHost : public ops::OperationHost
{
public:
    void setExplanation(const QString &text) override { calls.append({"text", text, {}}); }
    platform::Started runBatch(const QString &file, const QString &line,
                               platform::WindowStyle style) override
    {
        calls.append({"batch", file, line, style});
        return file == failingFile ? nullptr : std::make_shared<fakes::Program>();
    }
    ops::FirstStep waitForFirstStep(double seconds, platform::StartedProgram &,
                                    const QString &tool) override
    {
        calls.append({"pause", QString::number(seconds), tool});
        if (duringPause) {
            auto inner = std::exchange(duringPause, nullptr);
            inner();
        }
        return firstStep;
    }
    void logNotRun(const QString &line, const QString &why) override
    {
        calls.append({"log", line, why});
    }
    void setMethod(ops::MethodKind kind, const QString &value) override
    {
        calls.append({"method", kind == ops::MethodKind::Distort ? "distort" : "restore", value});
        (kind == ops::MethodKind::Distort ? distort : restore) = value;
    }

    void run(const char *control) { ops::runOperation(*ops::findOperation(control), *this); }

    QList<Call> calls;
    QString failingFile;
    ops::FirstStep firstStep = ops::FirstStep::Ended;
    std::function<void()> duringPause;
    QString distort;
    QString restore;
};

const char *const kFolder = "c:\\qor\\ejecutable\\auxiliares\\";

} // namespace

class OperationsTest : public QObject
{
    Q_OBJECT

private slots:
    void everyRow_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("batches"); // file|line|style per start
        QTest::addColumn<double>("pause");
        QTest::addColumn<QString>("method");
        QTest::addColumn<bool>("distortion");

        const QString motionText = "Observaciones: Nuestra imagen es distorsionada  con un "
                                   "movimiento de %1 píxeles de desenfoque.";
        const QString blurText
            = "Observaciones:  A la imagen que hemos cargado (y tras ser previamente alineada)le "
              "aplicaremos una distorsión para que sea posteriormente restaurada";
        const QString removeText = "Observaciones:  Eliminamos la distorsión provocado por el "
                                   "movimiento introducido igual a %1 píxeles.";
        const QString lightText = "Mejora las condiciones de una imagen que ha sido tomada con "
                                  "poca luz. Se basa en el fenómenos de reflectancia";
        const auto start = [](const char *file, const QString &tail, int style) {
            return QString("%1|%2%3|%4").arg(file, kFolder, tail).arg(style);
        };

        QTest::newRow("Distorcion10")
            << "Distorcion10" << motionText.arg(10)
            << QStringList {start("RuidoDeter.bat", "mblur.exe align.pgm 10 distor.pgm", 0)} << 0.0
            << " Ruido Determinado de 10" << true;
        QTest::newRow("Distorcion25")
            << "Distorcion25" << motionText.arg(25)
            << QStringList {start("RuidoDeter.bat", "mblur.exe align.pgm 25 distor.pgm", 0)} << 0.0
            << " Ruido Determinado de 25" << true;
        QTest::newRow("Distorcion50")
            << "Distorcion50" << motionText.arg(50)
            << QStringList {start("RuidoDeter.bat", "mblur.exe Align.pgm 50 distor.pgm", 0)} << 0.0
            << " Ruido Determinado de 50" << true;
        QTest::newRow("Distorsimple")
            << "Distorsimple" << blurText
            << QStringList {start("blur.bat", "blur.exe align.pgm psf1A.pgm distor.pgm", 0)} << 0.0
            << "Blur" << true;
        QTest::newRow("DRuido")
            << "DRuido" << blurText + " (El ruido es estructurado)"
            << QStringList {start("blur.bat", "blur.exe align.pgm psf1A.pgm Dis_Ruido.pgm", 0),
                            start("blurruido.bat", "snoise.exe Dis_Ruido.pgm distor.pgm", 0)}
            << 2.0 << "Dis_Ruido" << true;
        QTest::newRow("RuidoE") << "RuidoE"
                                << "Observaciones: Nuestra imagen será distorsionada "
                                   "introduciéndole un ruido estructurado(Crea una imagen ruidosa)."
                                << QStringList {start("RuidoE.bat",
                                                      "Snoise.exe align.pgm distor.pgm", 0)}
                                << 0.0 << " Ruido Estructurado" << true;
        QTest::newRow("movimiento10")
            << "movimiento10" << removeText.arg(10)
            << QStringList {start("Movimiento.bat", "motion.exe distor.pgm 10 mov10.pgm", 0)} << 0.0
            << "Mov10" << false;
        QTest::newRow("movimiento25")
            << "movimiento25" << removeText.arg(25)
            << QStringList {start("Movimiento.bat", "motion.exe distor.pgm 25 mov25.pgm", 0)} << 0.0
            << "Mov25" << false;
        QTest::newRow("movimiento50")
            << "movimiento50" << removeText.arg(50)
            << QStringList {start("Movimiento.bat", "motion.exe distor.pgm 50 mov50.pgm", 0)} << 0.0
            << "mov50" << false;
        QTest::newRow("Inverso")
            << "Inverso"
            << "Observaciones: Nos pide un valor umbral para descartar los píxeles de H que son "
               "demasiado pequeño. Se aconseja entorno 0.0001"
            << QStringList {start("Inverse.bat", "Inverse.exe distor.pgm psf2A.pgm Inverso.pgm", 1)}
            << 0.0 << "Inverso" << false;
        QTest::newRow("Wiener") << "Wiener"
                                << "Observaciones: Una buena aproximación para el valor de k es el "
                                   "doble de la variación del ruido"
                                << QStringList {start("wiener.bat",
                                                      "wiener.exe distor.pgm psf1A.pgm wiener.pgm",
                                                      1)}
                                << 0.0 << "wiener" << false;
        QTest::newRow("Retiro")
            << "Retiro"
            << "Observaciones:  Elimina las regiones donde la frecuencia es máxima ya que se "
               "considera ruido. Nos pide las coordenadas de las regiones para ponerlas a 0."
            << QStringList {start("Retiro.bat", "snr.exe distor.pgm retiro.pgm", 1)} << 0.0
            << "retiro" << false;
        QTest::newRow("FFT") << "FFT"
                             << "Calcula la FFT en dos dimensiones de la imagen. La FFT es "
                                "centrada con respecto al origen"
                             << QStringList {start("FFT.bat", "transfor.exe align.pgm FFT.pgm", 0)}
                             << 0.0 << "FFT" << false;
        QTest::newRow("Homo") << "Homo" << lightText
                              << QStringList {start("shuff.bat", "shuffle.exe align.pgm", 0),
                                              start("Homomorfico.bat",
                                                    "homo.exe shuff.pgm homo.pgm", 0)}
                              << 3.0 << "Homo" << false;
        QTest::newRow("enfasis")
            << "enfasis" << lightText
            << QStringList {start("hiemph.bat", "hiemph.exe align.pgm alto.pgm", 0),
                            start("Enfasis.bat", "hiemph.exe alto.pgm enfasis.pgm", 0)}
            << 2.0 << "Enfasis" << false;
    }

    void everyRow()
    {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QStringList, batches);
        QFETCH(double, pause);
        QFETCH(QString, method);
        QFETCH(bool, distortion);

        RecordingHost host;
        host.run(control.toLatin1().constData());

        QStringList expected {"text:" + text};
        expected << "batch:" + batches.value(0);
        if (pause > 0)
            expected << "pause:" + QString::number(pause) << "batch:" + batches.value(1);
        expected << QString("method:%1|%2").arg(distortion ? "distort" : "restore", method);
        QStringList actual;
        for (const Call &call : host.calls) {
            if (call.kind == "batch")
                actual << QString("batch:%1|%2|%3").arg(call.a, call.b).arg(call.style);
            else if (call.kind == "method")
                actual << QString("method:%1|%2").arg(call.a, call.b);
            else
                actual << call.kind + ":" + call.a;
        }
        QCOMPARE(actual, expected);
    }

    void theTableHasFifteenRowsWithDistinctControls()
    {
        QCOMPARE(ops::kOperationCount, size_t(15));
        for (size_t i = 0; i < ops::kOperationCount; ++i)
            QCOMPARE(ops::findOperation(ops::kOperations[i].control), &ops::kOperations[i]);
        QVERIFY(ops::findOperation("Acerca") == nullptr);
    }

    // The menu tree and the table name the same operations: an entry that starts one has its
    // row, and each row is started by exactly one entry.
    void menuEntriesAndRowsMatchOneToOne()
    {
        std::vector<int> entries(ops::kOperationCount, 0);
        for (int i = 0; i < app::kMenuCount; ++i) {
            const app::MenuEntry &entry = app::kMenu[i];
            const ops::Operation *row = ops::findOperation(entry.control);
            QVERIFY2((entry.action == app::MenuAction::Operation) == (row != nullptr),
                     entry.control);
            if (row)
                ++entries[size_t(row - ops::kOperations)];
        }
        for (size_t i = 0; i < ops::kOperationCount; ++i)
            QVERIFY2(entries[i] == 1, ops::kOperations[i].control);
    }

    // A step reads and writes only what its tool's contract says: the files before the last
    // are read, and the last is written when the tool takes an output.
    void everyStepsFilesAreInItsToolsContract()
    {
        for (size_t i = 0; i < ops::kOperationCount; ++i) {
            for (const ops::Step &step : ops::steps(ops::kOperations[i])) {
                const tools::ToolContract &tool = tools::contract(step.tool);
                QStringList arguments;
                for (const char *argument : step.arguments) {
                    if (argument)
                        arguments << QString::fromLatin1(argument);
                }
                const bool writesLast = QString::fromLatin1(tool.arguments).endsWith("output");
                for (int k = 0; k < arguments.size(); ++k) {
                    if (!arguments[k].endsWith(".pgm", Qt::CaseInsensitive))
                        continue;
                    const bool written = writesLast && k == arguments.size() - 1;
                    const QString side = QString::fromLatin1(written ? tool.writes : tool.reads);
                    QVERIFY2(side.contains(arguments[k], Qt::CaseInsensitive),
                             qPrintable(QString::fromLatin1(step.batchFile) + ": " + arguments[k]));
                }
            }
        }
    }

    void anEntryChosenDuringAPauseRunsInsideIt()
    {
        RecordingHost host;
        host.duringPause = [&host] { host.run("FFT"); };
        host.run("enfasis");
        QCOMPARE(host.restore, QStringLiteral("Enfasis")); // the paused operation stores last
        const Call &last = host.calls.last();
        QCOMPARE(last.b, QStringLiteral("Enfasis"));
        // The label keeps the FFT's text: the paused operation set its own before pausing.
        QString lastText;
        for (const Call &call : host.calls)
            if (call.kind == "text")
                lastText = call.a;
        QVERIFY(lastText.startsWith("Calcula la FFT"));
        QStringList files;
        for (const Call &call : host.calls)
            if (call.kind == "batch")
                files << call.a;
        QCOMPARE(files, QStringList({"hiemph.bat", "FFT.bat", "Enfasis.bat"}));
    }

    void conRuidoChosenTwiceRunsBothToolsTwice()
    {
        RecordingHost host;
        host.duringPause = [&host] { host.run("DRuido"); };
        host.run("DRuido");
        QStringList files;
        for (const Call &call : host.calls)
            if (call.kind == "batch")
                files << call.a;
        QCOMPARE(files, QStringList({"blur.bat", "blur.bat", "blurruido.bat", "blurruido.bat"}));
        QCOMPARE(host.distort, QStringLiteral("Dis_Ruido"));
    }

    void aFailedStepEndsTheOperation()
    {
        RecordingHost host;
        host.restore = "FFT";
        host.failingFile = "shuff.bat";
        host.run("Homo");
        QCOMPARE(host.calls.size(), 2); // the text, then the failed first step
        QCOMPARE(host.calls[0].kind, QStringLiteral("text"));
        QCOMPARE(host.restore, QStringLiteral("FFT"));

        RecordingHost second;
        second.failingFile = "blurruido.bat";
        second.run("DRuido");
        QVERIFY(second.distort.isEmpty());
        QCOMPARE(second.calls.last().a, QStringLiteral("blurruido.bat"));
    }

    void withoutAWellEndedFirstStepNoSecondStepRuns()
    {
        // The second step would read an intermediate file that an earlier run left behind.
        for (const ops::FirstStep end :
             {ops::FirstStep::Failed, ops::FirstStep::StillRunning, ops::FirstStep::Closing}) {
            RecordingHost host;
            host.restore = "FFT";
            host.firstStep = end;
            host.run("Homo");
            QStringList kinds;
            for (const Call &call : host.calls)
                kinds << call.kind;
            const bool logged = end == ops::FirstStep::StillRunning;
            QStringList expected {"text", "batch", "pause"};
            if (logged)
                expected << "log";
            QCOMPARE(kinds, expected);
            QCOMPARE(host.restore, QStringLiteral("FFT"));
            QCOMPARE(host.calls[2].b, QStringLiteral("shuffle.exe")); // what the window names
            if (logged) {
                QCOMPARE(host.calls[3].a, QString(kFolder) + "homo.exe shuff.pgm homo.pgm");
                QCOMPARE(host.calls[3].b,
                         QStringLiteral("homo.exe: no se ejecutó porque "
                                        "shuffle.exe seguía en marcha a los 10 "
                                        "minutos"));
            }
        }
    }
};

QTEST_GUILESS_MAIN(OperationsTest)
#include "test_operations.moc"

// Pauses on nested event loops.
#include "espera.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cmath>

namespace app {

bool Pauses::Espera(double segundos)
{
    if (segundos <= 0)
        return !m_cancelled;
    QElapsedTimer clock;
    clock.start();
    const qint64 total = qint64(std::ceil(segundos * 1000.0));
    while (!m_cancelled && clock.elapsed() < total) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(int(total - clock.elapsed()));
        m_loops.append(&loop);
        loop.exec();
        m_loops.removeOne(&loop);
        // Only our timer and cancelAll() quit this loop, unless the application itself is
        // leaving its event loops: then no later loop would wait either.
        if (timer.isActive())
            m_cancelled = true;
    }
    return !m_cancelled;
}

ops::FirstStep Pauses::untilEnded(platform::StartedProgram &program,
                                  std::chrono::milliseconds limit)
{
    if (!m_cancelled && program.running()) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(limit);
        program.whenEnded([&loop] { loop.quit(); });
        m_loops.append(&loop);
        loop.exec();
        m_loops.removeOne(&loop);
        program.whenEnded({});
        if (timer.isActive() && program.running())
            m_cancelled = true; // the application is leaving its event loops, as above
    }
    if (m_cancelled)
        return ops::FirstStep::Closing;
    if (program.running())
        return ops::FirstStep::StillRunning;
    return program.failed() ? ops::FirstStep::Failed : ops::FirstStep::Ended;
}

void Pauses::cancelAll()
{
    m_cancelled = true;
    for (QEventLoop *loop : std::as_const(m_loops))
        loop->quit();
}

} // namespace app

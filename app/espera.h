// Espera: a pause during which the window keeps handling events.
#pragma once

#include "operations.h"
#include "services.h"

#include <QList>
#include <chrono>

class QEventLoop;

namespace app {

// The pauses of one window. A pause runs a nested event loop until its time is up, so a menu
// entry chosen meanwhile runs to its end inside it (a pause of its own included) and the
// processor stays idle. Time is read from a monotonic clock: midnight is no special case.
class Pauses
{
public:
    // Returns once `segundos` have passed, true; zero or less returns at once without handling
    // events. False when cancelAll() ended the pause early: the window is closing.
    bool Espera(double segundos);

    // Handles events until `program` has ended (Ended or Failed), or `limit` has passed
    // (StillRunning), or cancelAll() ended the wait (Closing). Returns at once when it has
    // ended already.
    ops::FirstStep untilEnded(platform::StartedProgram &program, std::chrono::milliseconds limit);

    // Ends every running pause and wait now; those asked for afterwards end at once.
    void cancelAll();

    bool cancelled() const { return m_cancelled; }

private:
    QList<QEventLoop *> m_loops;
    bool m_cancelled = false;
};

} // namespace app

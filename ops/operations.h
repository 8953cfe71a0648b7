// The distortions, restorations and enhancements of the menus, as one table.
//
// An operation sets the explanatory text, writes and starts one batch file (two for the
// chained ones, the second once a pause has passed and the first has ended) and records
// which method it applied, as its very last step. runOperation() is the one recipe that
// carries out any row.
#pragma once

#include "contracts.h"
#include "services.h"

#include <QString>
#include <array>
#include <string_view>
#include <vector>

namespace ops {

// Which method text an operation records.
enum class MethodKind { Distort, Restore };

// One batch file of an operation: its name and the line it runs.
struct Step
{
    const char *batchFile;
    tools::ToolId tool;
    std::array<const char *, 3> arguments; // unused ones are nullptr
};

struct Operation
{
    const char *control; // the menu entry
    const char *text; // what Label1 says (UTF-8)
    Step first;
    double pause; // seconds between the two steps; 0 for a single step
    Step second; // used when pause > 0
    MethodKind kind;
    const char *value; // the method text stored last
};

extern const Operation kOperations[];
extern const size_t kOperationCount;

// The row of a menu control, or nullptr.
const Operation *findOperation(std::string_view control);

bool isChained(const Operation &operation);

// The steps an operation runs: its first, and its second when it is chained.
std::vector<Step> steps(const Operation &operation);

// The lengths the motion blur and its removal are run with, each once, shortest first.
std::vector<int> motionLengths();

// The command line a step runs.
QString commandLine(const Step &step);

// Tools that ask the user something get a console with the focus; the others run hidden.
platform::WindowStyle windowStyle(const Step &step);

// How long a chained operation waits for its first step, past its pause, before it gives up
// on the second: far beyond any photograph the tools take.
inline constexpr int kFirstStepLimitMinutes = 10;

// How the wait for a chained operation's first step came out.
enum class FirstStep {
    Ended, // it ended well: the second step may read what it wrote
    Failed, // the tool failed, and the command shell logged why
    StillRunning, // still running at the limit
    Closing, // the program is closing
};

// What an operation needs of the main window.
class OperationHost
{
public:
    virtual ~OperationHost() = default;
    virtual void setExplanation(const QString &text) = 0;
    // Writes `fileName` with the line and starts it: what was started, or null when that
    // failed (the failure has been reported to the user by then).
    virtual platform::Started runBatch(const QString &fileName, const QString &commandLine,
                                       platform::WindowStyle style)
        = 0;
    // Pauses `seconds` while the window keeps handling events, and past them, for up to
    // kFirstStepLimitMinutes, until `first`, the batch file running `tool` (its DOS name),
    // has ended.
    virtual FirstStep waitForFirstStep(double seconds, platform::StartedProgram &first,
                                       const QString &tool)
        = 0;
    // Records in the failure log that `commandLine` was not run, and why.
    virtual void logNotRun(const QString &commandLine, const QString &why) = 0;
    virtual void setMethod(MethodKind kind, const QString &value) = 0;
};

// Carries out an operation. The second step of a chained one starts when its pause has
// passed and its first step has ended well. A step that fails, a first step that fails or
// never ends, or a wait cut short because the program is closing, ends it there: no later
// step runs and the method text keeps its earlier value.
void runOperation(const Operation &operation, OperationHost &host);

} // namespace ops

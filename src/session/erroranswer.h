#pragma once

// What a routine does after one of its steps failed, and the one loop that runs a routine's
// steps under an error handler (the logger's HandleError, which asks the user).

#include "base/tqmerror.h"

#include <QList>
#include <QString>
#include <functional>

// Answer of an error handler: repeat the failing step, go on with the next one, leave the
// routine, or end the program.
enum class ErrorAnswer { Retry = 0, Continue = 1, Leave = 2, End = 3 };

using ErrorHandler =
    std::function<ErrorAnswer(const TqmError &error, const QString &moduleName, const QString &routineName)>;

namespace session {

enum class RoutineOutcome {
    Completed,    // every step ran (failed steps the handler let pass included)
    Left,         // the handler answered Leave, or there was no handler
    EndRequested, // the handler answered End: the caller ends the program
};

// Runs `steps` in order. A TqmError of a step goes to `handler` (none: the routine is left) and
// its answer decides: Retry runs the step again, Continue goes on with the next step, Leave and
// End stop here. Errors of other types are not caught.
RoutineOutcome runSteps(const ErrorHandler &handler, const QString &moduleName, const QString &routineName,
                        const QList<std::function<void()>> &steps);

} // namespace session

#include "session/erroranswer.h"

namespace session {

RoutineOutcome runSteps(const ErrorHandler &handler, const QString &moduleName, const QString &routineName,
                        const QList<std::function<void()>> &steps)
{
    for (qsizetype i = 0; i < steps.size();) {
        try {
            steps[i]();
            ++i;
        } catch (const TqmError &error) {
            if (!handler)
                return RoutineOutcome::Left;
            switch (handler(error, moduleName, routineName)) {
            case ErrorAnswer::Retry:
                break;
            case ErrorAnswer::Continue:
                ++i;
                break;
            case ErrorAnswer::Leave:
                return RoutineOutcome::Left;
            case ErrorAnswer::End:
                return RoutineOutcome::EndRequested;
            }
        }
    }
    return RoutineOutcome::Completed;
}

} // namespace session

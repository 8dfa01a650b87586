#include "app/widgets/WaitingProcessRunner.h"

namespace tarnwick {

bool WaitingProcessRunner::runAndWait(const QString& program) {
    if (waitStarts_)
        waitStarts_(program);
    const bool ran = runner_.runAndWait(program);
    if (waitEnds_)
        waitEnds_();
    return ran;
}

} // namespace tarnwick

#pragma once

#include "core/support/Error.h"

#include <QList>

#include <memory>

class FTPOperation;

// How an upload step ended, and the progress it reported on the way.
struct StepOutcome
{
    int cancelled = 0;
    int finished = 0;
    Error error;
    QList<float> progress;
};

/// Starts the upload as a job of its own, with the time-outs given (seconds to wait for an
/// answer, and for a stalled transfer), and fills in the outcome as the job goes.
std::shared_ptr<StepOutcome> runUploadStep(
    const std::shared_ptr<FTPOperation> &upload, int answerSeconds, int stallSeconds);

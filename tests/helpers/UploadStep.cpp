#include "UploadStep.h"

#include "core/ftp/FTPOperation.h"
#include "core/pipeline/MultiOperation.h"

std::shared_ptr<StepOutcome> runUploadStep(
    const std::shared_ptr<FTPOperation> &upload, int answerSeconds, int stallSeconds)
{
    auto outcome = std::make_shared<StepOutcome>();
    auto job = std::make_shared<MultiOperation>();
    job->addOperation(upload);
    job->setCancelledHandler([outcome] { ++outcome->cancelled; });
    job->setFinishedHandler([outcome, job](bool, const QVariant &, const Error &error) {
        ++outcome->finished;
        outcome->error = error;
    });
    upload->setProgressHandler([outcome](float value) { outcome->progress << value; });
    upload->setTimeouts(answerSeconds, stallSeconds);
    job->startOnBackgroundThread();
    return outcome;
}

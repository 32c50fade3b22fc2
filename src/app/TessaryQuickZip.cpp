// The quick zip: a drop on a tile, named and protected by the quick-zip policies.

#include "Tessary.h"

#include "QuickZipPolicies.h"
#include "RequestAsker.h"

#include "core/support/Utilities.h"

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr double kNoFilesNoticeDuration = 2.0;
constexpr double kNoFilesNoticeDelay = 0.5;
} // namespace

void Tessary::performQuickZipWithURLs(const QList<QUrl> &urls, const DestinationPointer &destination,
    const RequestCompletion &completion, const QObject *asker)
{
    if (urls.isEmpty()) {
        showNoFilesToZip();
        if (completion)
            completion(RequestOutcome::Cancelled, QString(), Error());
        return;
    }
    m_quickZipPolicies->determineQuickZipOutputFileNameAndPasswordWithURLS(urls,
        [this, urls, destination, completion, asker = RequestAsker(asker)](
            bool cancelled, const QString &name, const QString &password, const Error &error) {
            if (!error.isNull()) {
                if (completion)
                    completion(RequestOutcome::Failed, QString(), error);
                Utilities::reportError(error);
                return;
            }
            if (cancelled || asker.hasGone()) {
                if (completion)
                    completion(RequestOutcome::Cancelled, QString(), Error());
                return;
            }
            performCommonZipWithURLs(urls, destination, name, password, completion, asker.object());
        });
}

void Tessary::showNoFilesToZip()
{
    Utilities::displayNotification(u"No Files to Zip"_s, kNoFilesNoticeDuration, kNoFilesNoticeDelay);
}

// Launch and housekeeping: the internal folder is kept free of the job folders of days gone by.

#include "Tessary.h"

#include "pipeline/ThreadHops.h"
#include "support/Utilities.h"

namespace {
constexpr int kGarbageCollectionIntervalMs = 3600 * 1000;
constexpr qint64 kStaleAfterSeconds = 72 * 3600;
} // namespace

void Tessary::setupGarbageCollection()
{
    m_garbageCollectionTimer.setInterval(kGarbageCollectionIntervalMs);
    connect(&m_garbageCollectionTimer, &QTimer::timeout, this, &Tessary::collectGarbage);
    m_garbageCollectionTimer.start();
    collectGarbage();
}

void Tessary::collectGarbage()
{
    const QDateTime limit = QDateTime::currentDateTimeUtc().addSecs(-kStaleAfterSeconds);
    executeBlockInBackground(
        [folder = Destination::internalFolderPath(), limit] { Utilities::removeEntriesCreatedBefore(folder, limit); });
}

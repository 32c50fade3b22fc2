#include "Housekeeping.h"

#include "ThreadHops.h"
#include "core/destinations/Destination.h"
#include "core/support/Utilities.h"

#include <QDateTime>

Housekeeping::Housekeeping(QObject *parent)
    : QObject(parent)
{
    m_timer.setInterval(IntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &Housekeeping::collectGarbage);
}

void Housekeeping::start()
{
    m_timer.start();
    collectGarbage();
}

void Housekeeping::collectGarbage()
{
    const QDateTime limit = QDateTime::currentDateTimeUtc().addSecs(-StaleAfterSeconds);
    runInBackground(
        [folder = Destination::internalFolderPath(), limit] { Utilities::removeEntriesCreatedBefore(folder, limit); });
}

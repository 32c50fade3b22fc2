#include "UserInteractionStandIn.h"

using namespace Qt::Literals::StringLiterals;

void UserInteractionStandIn::alert(const QString &message, const QString &title, Kind)
{
    alerts << title + u'|' + message;
}

void UserInteractionStandIn::notice(const QString &message, double, double)
{
    notices << message;
}

void UserInteractionStandIn::systemNotification(
    const QString &title, const QString &details, const QString &, const std::function<void()> &)
{
    systemNotifications << title + u'|' + details;
}

bool UserInteractionStandIn::confirm(const QString &title, const QString &message, const QString &)
{
    questions << title + u'|' + message;
    return !confirmations.isEmpty() && confirmations.takeFirst();
}

QList<QUrl> UserInteractionStandIn::openPanel(bool, bool, const QStringList &, bool, const QUrl &)
{
    return chosenItems;
}

#include "UserInteraction.h"

#include "Utilities.h"

namespace {

class StandardErrorInteraction final : public UserInteraction
{
public:
    void alert(const QString &message, const QString &title, Kind) override
    {
        Utilities::writeToStandardError(title, message);
    }
    void notice(const QString &message, double, double) override { Utilities::writeToStandardError({}, message); }
    void systemNotification(
        const QString &title, const QString &details, const QString &, const std::function<void()> &) override
    {
        Utilities::writeToStandardError(title, details);
    }
    bool confirm(const QString &title, const QString &message, const QString &) override
    {
        Utilities::writeToStandardError(title, message);
        return false;
    }
    QList<QUrl> openPanel(bool, bool, const QStringList &, bool, const QUrl &) override { return {}; }
};

} // namespace

UserInteraction &UserInteraction::standardError()
{
    static StandardErrorInteraction interaction;
    return interaction;
}

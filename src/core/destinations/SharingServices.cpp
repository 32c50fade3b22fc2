#include "SharingServices.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Where no desktop's services are installed: every service says so.
class NoSharingServices final : public SharingServices
{
public:
    void composeEmail(
        const QString &, const QString &, const QStringList &, const QString &, const Completion &completion) override
    {
        completion(problem());
    }
    void composeMessage(const QString &, const QStringList &, const QString &, const Completion &completion) override
    {
        completion(problem());
    }
    void shareNearby(const QString &, const Completion &completion) override { completion(problem()); }
    void copyToClipboard(const QString &) override { }

private:
    static QString problem() { return u"No sharing service of the desktop is available."_s; }
};

SharingServices *&installed()
{
    static SharingServices *services = nullptr;
    return services;
}

} // namespace

SharingServices &SharingServices::instance()
{
    static NoSharingServices none;
    return installed() != nullptr ? *installed() : none;
}

void SharingServices::setInstance(SharingServices *services)
{
    installed() = services;
}

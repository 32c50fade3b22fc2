// The custom zip: a drop on the drop pad, answered by one dialog.

#include "Tessary.h"

#include "RequestAsker.h"

#include "core/pipeline/ArchiveNaming.h"

#include "core/pipeline/ThreadHops.h"
#include "core/settings/Settings.h"
#include "gui/prompts/CustomZipWindowController.h"

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr double kAfterDrop = 0.1;
}

void Tessary::performCustomZipWithURLs(
    const QList<QUrl> &urls, const RequestCompletion &completion, const QObject *asker)
{
    // The drag that delivered the items ends first.
    executeBlockOnMainThread(
        this,
        [this, urls, completion, asker = RequestAsker(asker)] {
            if (urls.isEmpty()) {
                showNoFilesToZip();
                if (completion)
                    completion(RequestOutcome::Cancelled, QString(), Error());
                return;
            }
            // The preset password is offered in the window; the keychain answers off the GUI thread.
            Settings::readQuickZipPassword(this, [this, urls, completion, asker](const QString &preset, bool) {
                runCustomZipWindow(urls, preset, completion, asker);
            });
        },
        kAfterDrop);
}

void Tessary::runCustomZipWindow(const QList<QUrl> &urls, const QString &presetPassword,
    const RequestCompletion &completion, const RequestAsker &asker)
{
    Settings &settings = *m_settings;
    CustomZipWindowController(settings.quickZipName(), ArchiveNaming::derivedNameFromURLs(urls),
        settings.lastUsedAskForNameType(), presetPassword, settings.lastUsedAskForDestinationType(),
        m_destinationList->destinations(),
        [this, urls, completion, asker, &settings](bool cancelled, qint32 nameType, const QString &name,
            const QString &password, const DestinationPointer &destination) {
            if (cancelled || asker.hasGone()) {
                if (completion)
                    completion(RequestOutcome::Cancelled, QString(), Error());
                return;
            }
            settings.setLastUsedAskForNameType(nameType);
            settings.setLastUsedAskForDestinationType(destination->type());
            executeBlockOnMainThread(
                this,
                [this, urls, completion, destination, name, password, asker] {
                    if (asker.hasGone()) {
                        if (completion)
                            completion(RequestOutcome::Cancelled, QString(), Error());
                        return;
                    }
                    performCommonZipWithURLs(urls, destination, name, password, completion, asker.object());
                },
                kAfterDrop);
        })
        .runModal();
}

#include "DestinationICloud.h"

#include "core/pipeline/ThreadHops.h"
#include "core/support/Log.h"
#include "core/support/UserInteraction.h"
#include "core/support/Utilities.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

DestinationICloud::DestinationICloud(const QString &name)
    : Destination(internalFolderPath(), name)
{
}

DestinationICloud::DestinationICloud(const KeyedCoder &coder)
    : Destination(coder)
{
}

QString DestinationICloud::iCloudDrivePath()
{
    return QDir::homePath() + u"/iCloud Drive"_s;
}

bool DestinationICloud::isICloudAvailable()
{
    return QFileInfo(iCloudDrivePath()).isDir();
}

QString DestinationICloud::iconName() const
{
    return u"iCloudIcon"_s;
}

namespace {
constexpr double kRetryDelay = 0.5;

// Shows the message on the GUI thread, then ends the delivery.
void tell(const QString &message, const QString &title, UserInteraction &person,
    const Destination::DeliveryCompletion &delivered)
{
    runOnMainThread([message, title, &person, delivered] {
        person.message(message, title);
        delivered({});
    });
}

// Ends the delivery as failed, on the GUI thread.
void fail(const QString &problem, const Destination::DeliveryCompletion &delivered)
{
    runOnMainThread([problem, delivered] { delivered(problem); });
}

QString describe(const QString &error)
{
    return error.isEmpty() ? u"(null)"_s : error;
}
} // namespace

QString DestinationICloud::documentsPath()
{
    return iCloudDrivePath() + u"/Documents"_s;
}

void DestinationICloud::destinationWasUsedWithArchivePath(
    const QString &archivePath, const DeliveryCompletion &delivered)
{
    runInBackground([archivePath, &person = user(), delivered] { moveIntoICloud(archivePath, person, delivered); });
}

void DestinationICloud::moveIntoICloud(
    const QString &archivePath, UserInteraction &person, const DeliveryCompletion &delivered)
{
    const Log::Handler log = Log::handler();
    const bool signedIn = isICloudAvailable();
    log(u"ubiquityIdentityToken: %1"_s.arg(signedIn ? iCloudDrivePath() : u"(null)"_s));
    const QString folder = signedIn ? documentsPath() : QString();
    log(u"ubiquityContainerURL with nil: %1"_s.arg(describe(folder)));
    if (folder.isNull()) {
        fail(u"Unable to upload the Tessary Archive to your iCloud Drive..."_s, delivered);
        return;
    }
    const bool folderMade = QDir().mkpath(folder);
    log(u"Create directory at ubiquityContainerURL.  Error: %1"_s.arg(
        folderMade ? u"(null)"_s : u"could not create %1"_s.arg(folder)));

    const QString fileName = QFileInfo(archivePath).fileName();
    const QString destination = QDir(folder).filePath(fileName);
    log(u"local file URL: %1"_s.arg(QUrl::fromLocalFile(archivePath).toString()));
    log(u"destination URL: %1"_s.arg(QUrl::fromLocalFile(destination).toString()));
    log(u"item at path '%1' is already ubiquitous: %2"_s.arg(QUrl::fromLocalFile(archivePath).toString()).arg(0));

    if (Utilities::fileExistsAtPath(destination)) {
        // The platform's "file exists" (516): the user decides.
        log(u"setUbiquitous was called.  Error: %1"_s.arg(u"a file named \"%1\" exists (516)"_s.arg(fileName)));
        runOnMainThread([archivePath, &person, destination, fileName, delivered] {
            if (!person.confirm(u"Replace Existing?"_s,
                    u"A file with the name \"%1\" already exists in your iCloud Drive.  Would "
                    "you like to replace it?"_s.arg(fileName),
                    u"Replace Existing"_s)) {
                delivered({});
                return;
            }
            runInBackground([archivePath, &person, destination, delivered] {
                const QFileInfo existing(destination);
                const bool removed = existing.isDir() && !existing.isSymLink() ? QDir(destination).removeRecursively()
                                                                               : QFile::remove(destination);
                Log::handler()(u"Called to remove existing file in iCloud.  Error: %1"_s.arg(
                    removed ? u"(null)"_s : u"could not remove %1"_s.arg(destination)));
                if (!removed) {
                    fail(u"Unable to replace the existing file from your iCloud Drive."_s, delivered);
                    return;
                }
                runOnMainThread(
                    [archivePath, &person, delivered] {
                        runInBackground(
                            [archivePath, &person, delivered] { moveIntoICloud(archivePath, person, delivered); });
                    },
                    kRetryDelay);
            });
        });
        return;
    }

    const bool moved = QFile::rename(archivePath, destination);
    log(u"setUbiquitous was called.  Error: %1"_s.arg(moved ? u"(null)"_s : u"could not move the archive"_s));
    if (moved)
        tell(u"\"%1\" has been successfully set to upload to your iCloud Drive."_s.arg(fileName), u"OK"_s, person,
            delivered);
    else
        fail(u"Unable to upload the Tessary Archive to your iCloud Drive..."_s, delivered);
}

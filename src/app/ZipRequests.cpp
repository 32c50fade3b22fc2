#include "ZipRequests.h"

#include "ProgressDialogStack.h"
#include "QuickZipPolicies.h"
#include "RequestAsker.h"

#include "core/destinations/DestinationListModel.h"
#include "core/pipeline/ArchiveNaming.h"
#include "core/pipeline/MultiOperation.h"
#include "core/pipeline/ThreadHops.h"
#include "core/pipeline/ZipOperation.h"
#include "core/settings/QuickZipPassword.h"
#include "core/settings/Settings.h"
#include "core/support/Utilities.h"
#include "gui/pipeline/ProgressDialog.h"
#include "gui/prompts/CustomZipDialog.h"
#include "gui/support/Alerts.h"
#include "platform/FileManager.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr double kAfterDrop = 0.1;
constexpr double kNoFilesNoticeDuration = 2.0;
constexpr double kNoFilesNoticeDelay = 0.5;
constexpr int kStopWaitMs = 2000;
constexpr qint64 kMegabyte = 1024 * 1024;

// The error, saying where the archive that was made is kept.
Error withKeptArchive(const Error &error, const QString &archivePath)
{
    QString reason = error.localizedFailureReason();
    if (!reason.endsWith(u'.'))
        reason += u'.';
    QVariantMap details = error.userInfo();
    details.insert(Error::FailureReasonKey, u"%1 The archive was kept at \"%2\"."_s.arg(reason, archivePath));
    return Error(error.domain(), error.code(), details);
}
} // namespace

// What the handlers of one request share.
struct ZipRequest
{
    QList<QUrl> urls;
    DestinationPointer destination;
    QString name;
    QString password;
    ZipEncryption encryption = ZipEncryptionCompatible;
    ZipRequests::Completion completion;
    QString archivePath;
    std::shared_ptr<MultiOperation> multiOperation;
    QPointer<ProgressDialog> progressWindow;
    RequestAsker asker {nullptr};

    bool isSecure() const { return !password.isEmpty(); }
};

ZipRequests::ZipRequests(
    Settings &settings, QuickZipPolicies &policies, DestinationListModel &destinations, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_policies(policies)
    , m_destinations(destinations)
    , m_progressWindows(std::make_unique<ProgressDialogStack>(settings))
{
}

ZipRequests::~ZipRequests() = default;

void ZipRequests::quickZip(
    const QList<QUrl> &urls, const DestinationPointer &destination, const Completion &completion, const QObject *asker)
{
    if (urls.isEmpty()) {
        showNoFilesToZip();
        if (completion)
            completion(Outcome::Cancelled, QString(), Error());
        return;
    }
    m_policies.determineQuickZipOutputFileNameAndPasswordWithURLS(urls,
        [this, urls, destination, completion, asker = RequestAsker(asker)](bool cancelled, const QString &name,
            const QString &password, ZipEncryption encryption, const Error &error) {
            if (!error.isNull()) {
                if (completion)
                    completion(Outcome::Failed, QString(), error);
                Alerts::reportError(error);
                return;
            }
            if (cancelled || asker.hasGone()) {
                if (completion)
                    completion(Outcome::Cancelled, QString(), Error());
                return;
            }
            zip(urls, destination, name, password, encryption, completion, asker.object());
        });
}

void ZipRequests::customZip(const QList<QUrl> &urls, const Completion &completion, const QObject *asker)
{
    // The drag that delivered the items ends first.
    runOnMainThread(
        this,
        [this, urls, completion, asker = RequestAsker(asker)] {
            if (urls.isEmpty()) {
                showNoFilesToZip();
                if (completion)
                    completion(Outcome::Cancelled, QString(), Error());
                return;
            }
            // The preset password is offered in the window; the keychain answers off the GUI thread.
            QuickZipPassword::read(this, [this, urls, completion, asker](const QString &preset, bool) {
                runCustomZipWindow(urls, preset, completion, asker);
            });
        },
        kAfterDrop);
}

void ZipRequests::runCustomZipWindow(
    const QList<QUrl> &urls, const QString &presetPassword, const Completion &completion, const RequestAsker &asker)
{
    CustomZipDialog(m_settings.quickZipName(), ArchiveNaming::derivedNameFromURLs(urls),
        m_settings.lastUsedAskForNameType(), presetPassword, m_settings.passwordEncryption(),
        m_settings.lastUsedAskForDestinationType(), m_destinations.destinations(),
        [this, urls, completion, asker](bool cancelled, qint32 nameType, const QString &name, const QString &password,
            ZipEncryption encryption, const DestinationPointer &destination) {
            if (cancelled || asker.hasGone()) {
                if (completion)
                    completion(Outcome::Cancelled, QString(), Error());
                return;
            }
            m_settings.setLastUsedAskForNameType(nameType);
            m_settings.setLastUsedAskForDestinationType(destination->type());
            runOnMainThread(
                this,
                [this, urls, completion, destination, name, password, encryption, asker] {
                    if (asker.hasGone()) {
                        if (completion)
                            completion(Outcome::Cancelled, QString(), Error());
                        return;
                    }
                    zip(urls, destination, name, password, encryption, completion, asker.object());
                },
                kAfterDrop);
        })
        .runModal();
}

void ZipRequests::zip(const QList<QUrl> &urls, const DestinationPointer &destination, const QString &name,
    const QString &password, ZipEncryption encryption, const Completion &completion, const QObject *asker)
{
    auto request = std::make_shared<ZipRequest>();
    request->asker = RequestAsker(asker);
    request->urls = urls;
    request->destination = destination;
    request->name = name;
    request->password = password;
    request->encryption = encryption;
    request->completion = completion;

    destination->destinationWillBeUsedWithURLsToZip(urls, boundTo(this, [this, request](const Error &stop) {
        if (!stop.isNull() && !stop.isCancellation())
            Alerts::displayMessage(stop.localizedFailureReason(), stop.title());
        if (!stop.isNull() || request->asker.hasGone())
            endRequest(request, Outcome::Cancelled, {});
        else
            startJob(request);
    }));
}

void ZipRequests::startJob(const std::shared_ptr<ZipRequest> &request)
{
    // Another Tessary may be making an archive of the same name at the same time: the name is
    // taken on disk before anything is zipped.
    QString folder = request->destination->finalFolderPath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    request->archivePath = folder
        + Utilities::claimAvailableFileName(
            ArchiveNaming::archiveFileName(request->name), folder, m_reservedArchivePaths);
    m_reservedArchivePaths.insert(request->archivePath);

    const auto zipOperation
        = std::make_shared<ZipOperation>(request->urls, request->archivePath, request->password, request->encryption);
    request->multiOperation = std::make_shared<MultiOperation>();
    request->multiOperation->addOperation(zipOperation);
    request->multiOperation->addOperation(
        request->destination->postZipOperationWithPathToCreatedZipArchive(request->archivePath));
    m_runningJobs.append(request->multiOperation);

    MultiOperation &job = *request->multiOperation;
    job.setProgressHandler([request](float progress) {
        if (request->progressWindow)
            request->progressWindow->setProgress(progress);
    });
    job.setDescriptionHandler([request](const QString &description) {
        if (request->progressWindow)
            request->progressWindow->setMessage(description);
    });
    // A report that comes after the requests have gone (at the end of the program) is dropped.
    job.setReceiver(this);
    job.setCancelledHandler([this, request] {
        request->progressWindow
            = m_progressWindows->dismiss(request->progressWindow, *request->destination, request->isSecure(), false);
        endRequest(request, Outcome::Cancelled, {});
    });
    job.setFinishedHandler([this, request](bool, const QVariant &, const Error &error) { finishJob(request, error); });

    // Whoever asked goes away (a command line ended by a signal): the job stops, and what was
    // half-written goes with it.
    if (const QObject *asker = request->asker.object())
        connect(asker, &QObject::destroyed, this, [running = std::weak_ptr<MultiOperation>(request->multiOperation)] {
            if (const auto stopped = running.lock())
                stopped->cancel();
        });

    const std::weak_ptr<ZipRequest> weakRequest = request;
    request->progressWindow = m_progressWindows->open(request->name, [weakRequest] {
        if (const auto cancelled = weakRequest.lock(); cancelled && cancelled->multiOperation)
            cancelled->multiOperation->cancel();
    });
    job.startOnBackgroundThread();
}

void ZipRequests::finishJob(const std::shared_ptr<ZipRequest> &request, const Error &error)
{
    request->progressWindow = m_progressWindows->dismiss(
        request->progressWindow, *request->destination, request->isSecure(), error.isNull());
    if (!error.isNull()) {
        // A step after the zip (an upload) failed: the archive is whole, and kept.
        const Error failure = request->multiOperation->indexOfCurrentOperation() > 0
            ? withKeptArchive(error, request->archivePath)
            : error;
        // Whoever asked hears of the end at once; the alert may stay on screen meanwhile.
        endRequest(request, Outcome::Failed, failure);
        Alerts::reportError(failure);
        return;
    }
    if (!questionLargeAttachment(request))
        deliver(request);
}

void ZipRequests::deliver(const std::shared_ptr<ZipRequest> &request)
{
    m_lastArchivePath = request->archivePath;
    if (request->destination->shouldRevealZipUponCreation())
        revealArchive(request->archivePath);
    // The request has ended once the Destination's delivery has; a failed delivery is a failed
    // request, and the user learns where the archive is.
    request->destination->destinationWasUsedWithArchivePath(
        request->archivePath, boundTo(this, [this, request](const QString &problem) {
            if (problem.isEmpty()) {
                announceArchiveInItsFolder(request->archivePath, *request->destination, request->isSecure());
                endRequest(request, Outcome::Finished, {});
                return;
            }
            const Error failure = withKeptArchive(Utilities::errorWithCode(0, problem), request->archivePath);
            endRequest(request, Outcome::Failed, failure);
            Alerts::reportError(failure);
        }));
}

bool ZipRequests::questionLargeAttachment(const std::shared_ptr<ZipRequest> &request)
{
    const qint64 limit = m_settings.emailSizeLimit();
    const qint64 size = QFileInfo(request->archivePath).size();
    if (request->destination->type() != Destination::DestinationTypeEmail || limit == 0 || size <= limit * kMegabyte)
        return false;
    QStringList actions {u"Attach Anyway"_s};
    if (m_destinationChooser)
        actions << u"Choose Another Destination"_s;
    const int answer = Alerts::getChoice(u"Large Attachment"_s,
        u"\"%1\" is %2 MB. Most mail servers refuse attachments larger than %3 MB, so this e-mail may never "
        "arrive."_s.arg(QFileInfo(request->archivePath).fileName(),
            QString::number(static_cast<double>(size) / kMegabyte, 'f', 1), QString::number(limit)),
        actions);
    if (answer == 0 && !request->asker.hasGone()) {
        deliver(request);
        return true;
    }
    // No e-mail carries the archive: it goes.
    QFile::remove(request->archivePath);
    if (answer == 1 && !request->asker.hasGone())
        chooseAnotherDestination(request);
    else
        endRequest(request, Outcome::Cancelled, {});
    return true;
}

void ZipRequests::chooseAnotherDestination(const std::shared_ptr<ZipRequest> &request)
{
    const Completion completion = std::exchange(request->completion, {});
    endRequest(request, Outcome::Cancelled, {});
    DestinationList choices = m_destinations.zippableDestinations();
    choices.removeAll(request->destination);
    m_destinationChooser(choices, boundTo(this, [this, request, completion](const DestinationPointer &chosen) {
        if (!chosen || request->asker.hasGone()) {
            if (completion)
                completion(Outcome::Cancelled, QString(), Error());
            return;
        }
        zip(request->urls, chosen, request->name, request->password, request->encryption, completion,
            request->asker.object());
    }));
}

void ZipRequests::endRequest(const std::shared_ptr<ZipRequest> &request, Outcome outcome, const Error &error)
{
    m_reservedArchivePaths.remove(request->archivePath);
    // However it ended, the name is no longer claimed: the archive holds it, or nothing does.
    if (!request->archivePath.isNull())
        QFile::remove(Utilities::claimPath(request->archivePath));
    m_runningJobs.removeIf([&request](const std::weak_ptr<MultiOperation> &job) {
        return job.expired() || job.lock() == request->multiOperation;
    });
    request->multiOperation.reset();
    if (request->completion)
        request->completion(outcome, request->archivePath, error);
}

void ZipRequests::stopRunningJobs()
{
    for (const std::weak_ptr<MultiOperation> &job : std::as_const(m_runningJobs))
        if (const auto running = job.lock())
            running->cancel();
    waitForBackgroundWork(kStopWaitMs);
    // The stopped jobs report no more (the event loop has ended): their names' claims go here.
    for (const QString &path : std::as_const(m_reservedArchivePaths))
        QFile::remove(Utilities::claimPath(path));
}

void ZipRequests::showNoFilesToZip()
{
    Alerts::displayNotification(u"No Files to Zip"_s, kNoFilesNoticeDuration, kNoFilesNoticeDelay);
}

void ZipRequests::announceArchiveInItsFolder(const QString &archivePath, const Destination &destination, bool secure)
{
    // Most desktops show no icons on the Desktop, and an archive beside its items is easily
    // missed: where nothing else tells of it, the desktop's notification does, with a way to it.
    if (destination.traits().testFlag(Destination::ShowsCreatedNotice)
        || destination.rootFolderPath() == Destination::internalFolderPath())
        return;
    const QFileInfo archive(archivePath);
    Alerts::displaySystemNotification(
        secure ? u"Secure Tessary Archive Successfully Created"_s : u"Tessary Archive Successfully Created"_s,
        u"\"%1\" is in %2."_s.arg(archive.fileName(), archive.path()), u"Show in Folder"_s,
        boundTo(this, [this, archivePath] { revealArchive(archivePath); }));
}

bool ZipRequests::canRevealLastArchive() const
{
    return !m_lastArchivePath.isNull() && QFileInfo::exists(m_lastArchivePath);
}

void ZipRequests::revealLastArchive()
{
    if (canRevealLastArchive())
        revealArchive(m_lastArchivePath);
}

void ZipRequests::revealArchive(const QString &archivePath)
{
    FileManager::reveal(archivePath, this, [archivePath](const QString &reason) {
        Alerts::displayMessage(u"Tessary could not show the archive \"%1\": no file manager answered, and its "
                               "folder could not be opened (%2)."_s.arg(archivePath, reason),
            u"Cannot Show the Archive"_s);
    });
}

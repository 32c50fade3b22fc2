// The zip request: from a settled name and password to a finished archive at the Destination.

#include "Tessary.h"

#include "RequestAsker.h"

#include "core/pipeline/ArchiveNaming.h"

#include "core/destinations/DropboxManager.h"
#include "core/pipeline/MultiOperation.h"
#include "core/pipeline/ThreadHops.h"
#include "core/pipeline/ZipOperation.h"
#include "core/settings/Settings.h"
#include "core/support/Utilities.h"
#include "gui/pipeline/ProgressWindowController.h"

#include <QFile>
#include <QFileInfo>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr float kProgressWindowDelay = 1.0F;
constexpr double kStackOffset = 90.0;
constexpr double kCreatedNoticeDuration = 1.0;
constexpr int kStopWaitMs = 2000;

QString folderWithSlash(const QString &folderPath)
{
    return folderPath.endsWith(u'/') ? folderPath : folderPath + u'/';
}

// An archive's name is a file name: it never leads out of its folder.
QString archiveFileName(const QString &outputFileName)
{
    QString name = outputFileName;
    name.replace(u'/', u'-').remove(QChar(0));
    if (name == u"."_s || name == u".."_s || name.isEmpty())
        name = ArchiveNaming::tessaryArchiveName();
    return Utilities::stringByDeletingPathExtension(name) + u".zip"_s;
}

// The error, saying where the archive that was made is kept.
Error withKeptArchive(const Error &error, const QString &archivePath)
{
    QString reason = error.localizedFailureReason();
    if (!reason.endsWith(u'.'))
        reason += u'.';
    QVariantMap details = error.userInfo();
    details.insert(Error::LocalizedFailureReasonKey, u"%1 The archive was kept at \"%2\"."_s.arg(reason, archivePath));
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
    Tessary::RequestCompletion completion;
    QString archivePath;
    std::shared_ptr<MultiOperation> multiOperation;
    QPointer<ProgressWindowController> progressWindow;
    RequestAsker asker {nullptr};

    bool isSecure() const { return !password.isEmpty(); }
};

void Tessary::performCommonZipWithURLs(const QList<QUrl> &urls, const DestinationPointer &destination,
    const QString &outputFileName, const QString &password, const RequestCompletion &completion, const QObject *asker)
{
    auto request = std::make_shared<ZipRequest>();
    request->asker = RequestAsker(asker);
    request->urls = urls;
    request->destination = destination;
    request->name = outputFileName;
    request->password = password;
    request->completion = completion;

    destination->destinationWillBeUsedWithURLsToZip(urls, boundTo(this, [this, request](bool cancel) {
        if (cancel || request->asker.hasGone())
            endZipRequest(request, RequestOutcome::Cancelled, {});
        else
            startZipJob(request);
    }));
}

void Tessary::startZipJob(const std::shared_ptr<ZipRequest> &request)
{
    // Another Tessary may be making an archive of the same name at the same time: the name is
    // taken on disk before anything is zipped.
    request->archivePath = claimArchivePath(request->destination->finalFolderPath(), request->name);
    m_reservedArchivePaths.insert(request->archivePath);

    const auto zipOperation = std::make_shared<ZipOperation>(request->urls, request->archivePath, request->password);
    request->multiOperation = std::make_shared<MultiOperation>();
    request->multiOperation->addOperation(zipOperation);
    request->multiOperation->addOperation(
        request->destination->postZipOperationWithPathToCreatedZipArchive(request->archivePath));
    m_runningJobs.append(request->multiOperation);

    const std::weak_ptr<ZipRequest> weakRequest = request;
    request->progressWindow = new ProgressWindowController(request->name, u"Preparing..."_s, [weakRequest] {
        if (const auto cancelled = weakRequest.lock(); cancelled && cancelled->multiOperation)
            cancelled->multiOperation->cancel();
    });

    MultiOperation &job = *request->multiOperation;
    job.setProgressBlock([request](float progress) {
        if (request->progressWindow)
            request->progressWindow->setProgress(progress);
    });
    job.setDescriptionBlock([request](const QString &description) {
        if (request->progressWindow)
            request->progressWindow->setMessage(description);
    });
    // A report that comes after the controller has gone (at the end of the program) is dropped.
    job.setReceiver(this);
    job.setCancelledBlock([this, request] {
        request->progressWindow
            = dismissProgressWindow(request->progressWindow, request->destination.get(), request->isSecure(), false);
        endZipRequest(request, RequestOutcome::Cancelled, {});
    });
    job.setFinishedBlock([this, request](bool, const QVariant &, const Error &error) {
        request->progressWindow = dismissProgressWindow(
            request->progressWindow, request->destination.get(), request->isSecure(), error.isNull());
        if (!error.isNull()) {
            // A step after the zip (an upload) failed: the archive is whole, and kept.
            const Error failure = request->multiOperation->indexOfCurrentOperation() > 0
                ? withKeptArchive(error, request->archivePath)
                : error;
            // Whoever asked hears of the end at once; the alert may stay on screen meanwhile.
            endZipRequest(request, RequestOutcome::Failed, failure);
            Utilities::reportError(failure);
            return;
        }
        m_pathToLastZipCreated = request->archivePath;
        if (request->destination->shouldRevealZipUponCreation())
            revealArchive(request->archivePath);
        // The request has ended once the Destination's delivery has; a failed delivery is a failed
        // request, and the user learns where the archive is.
        request->destination->destinationWasUsedWithArchivePath(
            request->archivePath, boundTo(this, [this, request](const QString &problem) {
                if (problem.isEmpty()) {
                    announceArchiveInItsFolder(request->archivePath, *request->destination, request->isSecure());
                    endZipRequest(request, RequestOutcome::Finished, {});
                    return;
                }
                const Error failure = withKeptArchive(Utilities::errorWithCode(0, problem), request->archivePath);
                endZipRequest(request, RequestOutcome::Failed, failure);
                Utilities::reportError(failure);
            }));
    });

    // Whoever asked goes away (a command line ended by a signal): the job stops, and what was
    // half-written goes with it.
    if (const QObject *asker = request->asker.object())
        connect(asker, &QObject::destroyed, this, [running = std::weak_ptr<MultiOperation>(request->multiOperation)] {
            if (const auto stopped = running.lock())
                stopped->cancel();
        });

    prepareProgressWindow(request->progressWindow);
    job.startOnBackgroundThread();
}

void Tessary::endZipRequest(const std::shared_ptr<ZipRequest> &request, RequestOutcome outcome, const Error &error)
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

void Tessary::stopRunningJobs()
{
    for (const std::weak_ptr<MultiOperation> &job : std::as_const(m_runningJobs))
        if (const auto running = job.lock())
            running->cancel();
    m_dropboxManager->cancelRequests();
    waitForBackgroundWork(kStopWaitMs);
    // The stopped jobs report no more (the event loop has ended): their names' claims go here.
    for (const QString &path : std::as_const(m_reservedArchivePaths))
        QFile::remove(Utilities::claimPath(path));
}

QString Tessary::pathToCreatedZipArchiveWithOutputFolderPath(
    const QString &folderPath, const QString &outputFileName) const
{
    const QString folder = folderWithSlash(folderPath);
    return folder
        + Utilities::availableFileName(archiveFileName(outputFileName), folder, nullptr, m_reservedArchivePaths);
}

QString Tessary::claimArchivePath(const QString &folderPath, const QString &outputFileName) const
{
    const QString folder = folderWithSlash(folderPath);
    return folder + Utilities::claimAvailableFileName(archiveFileName(outputFileName), folder, m_reservedArchivePaths);
}

QPointF Tessary::determineBestProgressWindowLocation() const
{
    const QList<ProgressWindowController *> open = progressWindows();
    if (open.isEmpty())
        return m_settings->preferredProgressWindowLocation();
    const QPoint newest = open.last()->windowPosition();
    return QPointF(newest.x(), newest.y() + kStackOffset);
}

void Tessary::prepareProgressWindow(ProgressWindowController *window)
{
    window->setWindowLocation(determineBestProgressWindowLocation());
    connect(window, &ProgressWindowController::progressWindowDidMove, this, &Tessary::progressWindowDidMove);
    window->showAfter(kProgressWindowDelay);
    m_progressWindows.append(window);
}

void Tessary::progressWindowDidMove(ProgressWindowController *window)
{
    m_settings->setPreferredProgressWindowLocation(window->window()->pos());
}

ProgressWindowController *Tessary::dismissProgressWindow(
    ProgressWindowController *window, Destination *destination, bool secure, bool jobSucceeded)
{
    if (window == nullptr)
        return nullptr;
    if (jobSucceeded && !window->wasShown() && destination->shouldDisplayArchiveCreatedNotification())
        Utilities::displayNotification(
            secure ? u"Secure Tessary Archive Successfully Created"_s : u"Tessary Archive Successfully Created"_s,
            kCreatedNoticeDuration);
    m_progressWindows.removeAll(window);
    window->dismiss();
    return nullptr;
}

void Tessary::announceArchiveInItsFolder(const QString &archivePath, const Destination &destination, bool secure)
{
    // Most desktops show no icons on the Desktop, and an archive beside its items is easily
    // missed: where nothing else tells of it, the desktop's notification does, with a way to it.
    if (destination.shouldDisplayArchiveCreatedNotification()
        || destination.rootFolderPath() == Destination::internalFolderPath())
        return;
    const QFileInfo archive(archivePath);
    Utilities::displaySystemNotification(
        secure ? u"Secure Tessary Archive Successfully Created"_s : u"Tessary Archive Successfully Created"_s,
        u"\"%1\" is in %2."_s.arg(archive.fileName(), archive.path()), u"Show in Folder"_s,
        boundTo(this, [this, archivePath] { revealArchive(archivePath); }));
}

QList<ProgressWindowController *> Tessary::progressWindows() const
{
    QList<ProgressWindowController *> open;
    for (const QPointer<ProgressWindowController> &window : m_progressWindows)
        if (window)
            open << window.data();
    return open;
}

bool Tessary::canRevealLastZipCreated() const
{
    return !m_pathToLastZipCreated.isNull() && QFileInfo::exists(m_pathToLastZipCreated);
}

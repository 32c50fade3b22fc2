#pragma once

#include "core/destinations/Destination.h"
#include "core/pipeline/ZipEncryption.h"
#include "core/support/Error.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class DestinationListModel;
class MultiOperation;
class ProgressDialogStack;
class QuickZipPolicies;
class RequestAsker;
class Settings;
struct ZipRequest;

// The zip requests, from the files to the delivered archive: the name and password settled (by
// the quick-zip policies, or by the custom zip window), the Destination prepared, the job run
// under a progress window, the archive handed to the Destination, and the outcome told to whoever
// asked. A request's asker, where one is given, stands for whoever asked (a command line): once it
// has gone, the request is cancelled and what was half-written removed.
class ZipRequests final : public QObject
{
    Q_OBJECT

public:
    /// How a zip request ended, for whoever started it.
    enum class Outcome {
        Finished, ///< the archive was made and handed to the Destination
        Failed, ///< the job ended with an error (the user has been shown it)
        Cancelled, ///< the user cancelled, or the Destination stopped the request
    };
    using Completion = std::function<void(Outcome outcome, const QString &archivePath, const Error &error)>;

    ZipRequests(
        Settings &settings, QuickZipPolicies &policies, DestinationListModel &destinations, QObject *parent = nullptr);
    ~ZipRequests() override;

    /// A drop on a tile: settles name and password by the quick-zip policies, asking where they
    /// say so, then zips. Nothing to zip shows "No Files to Zip".
    void quickZip(const QList<QUrl> &urls, const DestinationPointer &destination, const Completion &completion = {},
        const QObject *asker = nullptr);
    /// A drop on the drop pad: one dialog asks for name, password and Destination, then zips.
    void customZip(const QList<QUrl> &urls, const Completion &completion = {}, const QObject *asker = nullptr);
    /// Lets the Destination prepare, then zips the items into a free archive path of its final
    /// folder under a progress window, and hands the archive to the Destination. The encryption
    /// counts only where there is a password.
    void zip(const QList<QUrl> &urls, const DestinationPointer &destination, const QString &name,
        const QString &password, ZipEncryption encryption, const Completion &completion = {},
        const QObject *asker = nullptr);

    /// How the user picks another Destination for an archive too large to mail: the choices,
    /// and the completion that hears the one chosen, or null for none. Without one, the question
    /// offers only to attach anyway or to cancel.
    using DestinationChooser = std::function<void(
        const DestinationList &choices, const std::function<void(const DestinationPointer &chosen)> &completion)>;
    void setDestinationChooser(DestinationChooser chooser) { m_destinationChooser = std::move(chooser); }

    /// The notice for a request that brought nothing to zip: "No Files to Zip".
    void showNoFilesToZip();

    /// Before the process ends: cancels the jobs still running and waits at most 2 s for them to
    /// stop, so that no tool runs on and nothing half-written stays under an archive's name.
    void stopRunningJobs();

    /// The archive of the last job that finished without error; null until then.
    QString lastArchivePath() const { return m_lastArchivePath; }
    bool canRevealLastArchive() const;
    /// Shows the last archive in the file manager.
    void revealLastArchive();

    ProgressDialogStack *progressWindows() const { return m_progressWindows.get(); }

private:
    void runCustomZipWindow(const QList<QUrl> &urls, const QString &presetPassword, const Completion &completion,
        const RequestAsker &asker);
    void startJob(const std::shared_ptr<ZipRequest> &request);
    void finishJob(const std::shared_ptr<ZipRequest> &request, const Error &error);
    /// Hands the archive made to the request's Destination; the request ends with the delivery.
    void deliver(const std::shared_ptr<ZipRequest> &request);
    /// Before a new e-mail carries an archive larger than most mail servers take, asks whether to
    /// attach it anyway, zip the items for another Destination instead, or cancel; true when the
    /// question took the request over.
    bool questionLargeAttachment(const std::shared_ptr<ZipRequest> &request);
    /// Zips the request's items again, with the same name and password, for the Destination the
    /// user picks; the request ends here.
    void chooseAnotherDestination(const std::shared_ptr<ZipRequest> &request);
    void endRequest(const std::shared_ptr<ZipRequest> &request, Outcome outcome, const Error &error);
    /// After a delivery into one of the user's folders that nothing else tells of (the Desktop,
    /// beside the items), a notification of the desktop names the archive and offers to show it.
    void announceArchiveInItsFolder(const QString &archivePath, const Destination &destination, bool secure);
    /// Shows the archive in the file manager; tells the user when nothing can show it.
    void revealArchive(const QString &archivePath);

    Settings &m_settings;
    QuickZipPolicies &m_policies;
    DestinationListModel &m_destinations;
    std::unique_ptr<ProgressDialogStack> m_progressWindows;
    QString m_lastArchivePath;
    QSet<QString> m_reservedArchivePaths;
    QList<std::weak_ptr<MultiOperation>> m_runningJobs;
    DestinationChooser m_destinationChooser;
};

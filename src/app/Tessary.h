#pragma once

#include "core/destinations/Destination.h"
#include "core/destinations/DestinationListModel.h"

#include "core/support/Error.h"

#include <QList>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

class AddDestinationMenu;
class DropboxManager;
class MultiOperation;
class DestinationEditor;
class Housekeeping;
class LogCapture;
class ProgressWindowController;
class QAction;
class QuickZipFlow;
class QuickZipPolicies;
class RequestAsker;
class Settings;
class DestinationsConfigureWindowController;
class IntroductionWindowController;
class QMessageBox;
class StatusItem;
struct ZipRequest;

// The application controller: one per process, made by main() and handed to what needs it. It owns
// the companions of the whole run, the status item with its menu and the quick-zip window, and
// the user's logging switch.
class Tessary final : public QObject
{
    Q_OBJECT

public:
    /// Creates the controller and its companions, and puts the desktop's services and the
    /// windows' messages in place.
    Tessary();
    ~Tessary() override;

    Settings *settings() const { return m_settings.get(); }
    DropboxManager *dropboxManager() const { return m_dropboxManager.get(); }

    /// The user's Destinations, loaded by launch().
    DestinationListModel *destinationList() const { return m_destinationList.get(); }
    /// Opens the Destinations window. One that is open already is closed first: two windows
    /// never edit the list side by side.
    void configureDestinationsSelected();
    /// The Destinations window while it is open; null otherwise.
    DestinationsConfigureWindowController *destinationsConfigureDialog() const;
    /// The menu the add tile opens.
    AddDestinationMenu *addDestinationMenu() const { return m_addDestinationMenu.get(); }

    // Launch and housekeeping

    /// Everything a start of the program does, in order: the housekeeping, the status item and
    /// menu, the Destinations, the system check and, when it passes, the first launch's steps.
    /// False when the system check failed: the program then ends 1.0 s after its alert.
    bool launch();
    /// Whether Tessary can run here (an X11 display for the pad); otherwise an alert says what
    /// it needs and the program ends 1.0 s after it is closed.
    bool performSystemVersionCheck();
    /// Once ever: opens the introduction, with the reminder on skipping; and adds Tessary to the
    /// programs that start with the session (never again once done, even when the user removes it).
    void performFirstLaunchSetup();
    /// Opens the introduction on its first page; one that is open already is closed first.
    void showIntroductionWithShowSkipReminderMessage(bool showSkipReminderMessage);
    /// The introduction while it is open; null otherwise.
    IntroductionWindowController *introductionWindow() const;

    // The status item: the drop pad, the tray icon and the quick-zip window

    /// Puts up the drop pad (where the user last put it), the tray icon where the desktop has a
    /// tray, and the status menu; prepares the quick-zip window, whose drops start zip requests.
    void setupStatusMenu();
    /// Null until setupStatusMenu().
    StatusItem *statusItem() const { return m_statusItem.get(); }
    /// The drags over the pad and the quick-zip window; null until setupStatusMenu().
    QuickZipFlow *quickZipFlow() const { return m_quickZipFlow.get(); }

    // The status menu

    /// Enables the item and sets its check mark from its tag, as the menu opens.
    void validateMenuItem(QAction *item);
    void revealLastZipSelected();
    /// Shows the archive in the file manager; tells the user when nothing can show it.
    void revealArchive(const QString &archivePath);
    /// Opens the help on using Tessary; tells the user when it is not installed or nothing can
    /// open it.
    void supportSelected();
    /// Quits after the user confirms.
    void quitSelected();
    /// The help "Support..." opens: the README installed with the program (in share/doc beside
    /// its bin folder), whether or not it is there.
    static QString supportDocumentPath();
    /// The About box, with the switch for logging.
    void displayAboutBox();
    /// An alert with the logo, the product's line, the text and an OK button.
    static void prepareLogoAlert(QMessageBox &box, const QString &details);
    /// Shows such an alert and waits for it to be closed; without a screen, writes it out.
    static void showLogoAlert(const QString &title, const QString &details);

    // Zip requests

    /// How a zip request ended, for whoever started it.
    enum class RequestOutcome {
        Finished, ///< the archive was made and handed to the Destination
        Failed, ///< the job ended with an error (the user has been shown it)
        Cancelled, ///< the user cancelled, or the Destination stopped the request
    };
    using RequestCompletion
        = std::function<void(RequestOutcome outcome, const QString &archivePath, const Error &error)>;

    /// A drop on a tile: settles name and password by the quick-zip policies, asking where they
    /// say so, then zips. Nothing to zip shows "No Files to Zip". The asker, where one is given,
    /// stands for whoever asked (a command line): once it has gone, the request is cancelled and
    /// what was half-written removed; so for every request below.
    void performQuickZipWithURLs(const QList<QUrl> &urls, const DestinationPointer &destination,
        const RequestCompletion &completion = {}, const QObject *asker = nullptr);
    /// The naming and password policies of the quick zip, with the preset name and password.
    QuickZipPolicies *quickZipPolicies() const { return m_quickZipPolicies.get(); }

    /// A drop on the drop pad: one dialog asks for name, password and Destination, then zips.
    void performCustomZipWithURLs(
        const QList<QUrl> &urls, const RequestCompletion &completion = {}, const QObject *asker = nullptr);

    /// Lets the Destination prepare, then zips the items into a free archive path of its final
    /// folder under a progress window, and hands the archive to the Destination.
    void performCommonZipWithURLs(const QList<QUrl> &urls, const DestinationPointer &destination,
        const QString &outputFileName, const QString &password, const RequestCompletion &completion = {},
        const QObject *asker = nullptr);
    /// A free "NAME.zip" (or "NAME #2.zip"...) in the folder, away from archives still being made.
    QString pathToCreatedZipArchiveWithOutputFolderPath(const QString &folderPath, const QString &outputFileName) const;
    /// The same path, claimed on disk by a hidden file beside it so that no other process picks
    /// it too; the name itself stays free until the archive takes it whole.
    QString claimArchivePath(const QString &folderPath, const QString &outputFileName) const;
    /// 90 points below the newest open progress window, else the preferred place.
    QPointF determineBestProgressWindowLocation() const;
    void prepareProgressWindow(ProgressWindowController *window);
    /// Remembers where the user put a progress window.
    void progressWindowDidMove(ProgressWindowController *window);
    /// Takes the window down; after a quick success it shows the created notice instead, where
    /// the Destination allows it. Returns null.
    ProgressWindowController *dismissProgressWindow(
        ProgressWindowController *window, Destination *destination, bool secure, bool jobSucceeded);
    /// Before the process ends: cancels the jobs still running (zip requests, share-link
    /// requests) and waits at most 2 s for them to stop, so that no tool runs on and nothing
    /// half-written stays under an archive's name.
    void stopRunningJobs();
    /// After a delivery into one of the user's folders that nothing else tells of (the Desktop,
    /// beside the items), a notification of the desktop names the archive and offers to show it.
    void announceArchiveInItsFolder(const QString &archivePath, const Destination &destination, bool secure);
    /// The progress windows open now, oldest first.
    QList<ProgressWindowController *> progressWindows() const;
    /// The archive of the last job that finished without error; null until then.
    QString pathToLastZipCreated() const { return m_pathToLastZipCreated; }
    bool canRevealLastZipCreated() const;

    /// The user's capture of the log (the About box's switch).
    LogCapture *logCapture() const { return m_logCapture.get(); }

private:
    void runCustomZipWindow(const QList<QUrl> &urls, const QString &presetPassword, const RequestCompletion &completion,
        const RequestAsker &asker);
    void startZipJob(const std::shared_ptr<ZipRequest> &request);
    /// The notice for a drop that brought nothing to zip.
    void showNoFilesToZip();
    void endZipRequest(const std::shared_ptr<ZipRequest> &request, RequestOutcome outcome, const Error &error);

    /// Connects a Destination that joined the list to the controller's services: the dialogs
    /// that configure it, the Dropbox manager, the add tile's menu.
    void adoptDestination(Destination *destination);
    /// Tells the user that the Destinations file kept the list as it was.
    void destinationsNotSaved(const QString &storePath);
    /// The status menu's items in order: title, tag, command.
    void buildStatusMenu();

    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<StatusItem> m_statusItem;
    std::unique_ptr<QuickZipFlow> m_quickZipFlow;
    std::unique_ptr<QuickZipPolicies> m_quickZipPolicies;
    std::unique_ptr<DropboxManager> m_dropboxManager;
    std::unique_ptr<AddDestinationMenu> m_addDestinationMenu;
    std::unique_ptr<DestinationEditor> m_destinationEditor;
    std::unique_ptr<DestinationListModel> m_destinationList;
    QList<QPointer<ProgressWindowController>> m_progressWindows;
    QString m_pathToLastZipCreated;
    QSet<QString> m_reservedArchivePaths;
    QList<std::weak_ptr<MultiOperation>> m_runningJobs;
    QPointer<DestinationsConfigureWindowController> m_destinationsConfigureDialog;
    QPointer<IntroductionWindowController> m_introductionWindow;
    std::unique_ptr<LogCapture> m_logCapture;
    std::unique_ptr<Housekeeping> m_housekeeping;
};

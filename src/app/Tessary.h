#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class AddDestinationMenu;
class Destination;
class DestinationEditor;
class DestinationListModel;
class DestinationsDialog;
class DropboxManager;
class FileManagerEntries;
class Housekeeping;
class Launcher;
class LogCapture;
class QuickZipFlow;
class QuickZipPolicies;
class Settings;
class StatusItem;
class StatusMenu;
class ZipRequests;

// The application: one per process, made by main(). It builds the pieces of the whole run and
// wires them together: the settings, the Destinations with the dialogs that edit them, the drop
// pad and its quick-zip flow, the status menu, the zip requests, the launch steps and the user's
// logging switch.
class Tessary final : public QObject
{
    Q_OBJECT

public:
    /// Creates the pieces, and puts the desktop's services and the windows' messages in place.
    Tessary();
    ~Tessary() override;

    /// Everything a start of the program does, in order: the housekeeping, the drop pad and the
    /// status menu, the Destinations, the system check and, when it passes, the first launch's
    /// steps. False when the system check failed: the program then ends 1.0 s after its alert.
    bool launch();
    /// Before the process ends: cancels the jobs still running (zip requests, share-link
    /// requests) and waits at most 2 s for them to stop.
    void stopRunningJobs();

    /// Puts up the drop pad (where the user last put it), the tray icon where the desktop has a
    /// tray, and the status menu; the quick-zip flow's drops start zip requests. The first
    /// step of launch().
    void setupStatusItem();

    /// Opens the Destinations window. One that is open already is closed first: two windows
    /// never edit the list side by side.
    void configureDestinationsSelected();
    /// The quick zip of the files copied to the clipboard, by keyboard: the quick-zip window drops
    /// down from the pad to choose the Destination. Nothing copied shows "No Files to Zip".
    void quickZipCopiedFiles();
    /// The Destinations window while it is open; null otherwise.
    DestinationsDialog *destinationsConfigureDialog() const;

    Settings *settings() const { return m_settings.get(); }
    /// The user's Destinations, loaded by launch().
    DestinationListModel *destinationList() const { return m_destinationList.get(); }
    DropboxManager *dropboxManager() const { return m_dropboxManager.get(); }
    AddDestinationMenu *addDestinationMenu() const { return m_addDestinationMenu.get(); }
    QuickZipPolicies *quickZipPolicies() const { return m_quickZipPolicies.get(); }
    ZipRequests *zipRequests() const { return m_zipRequests.get(); }
    Launcher *launcher() const { return m_launcher.get(); }
    LogCapture *logCapture() const { return m_logCapture.get(); }
    /// The drop pad and the tray icon with the status menu; null until launch().
    StatusItem *statusItem() const { return m_statusItem.get(); }
    /// The drags over the pad and the quick-zip window; null until launch().
    QuickZipFlow *quickZipFlow() const { return m_quickZipFlow.get(); }

private:
    /// Connects a Destination that joined the list to the dialogs that edit it, the Dropbox
    /// manager, the add tile's menu.
    void adoptDestination(Destination *destination);
    /// Tells the user that the Destinations file kept the list as it was.
    void destinationsNotSaved(const QString &storePath);

    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<LogCapture> m_logCapture;
    std::unique_ptr<Housekeeping> m_housekeeping;
    std::unique_ptr<DestinationListModel> m_destinationList;
    std::unique_ptr<DestinationEditor> m_destinationEditor;
    std::unique_ptr<DropboxManager> m_dropboxManager;
    std::unique_ptr<QuickZipPolicies> m_quickZipPolicies;
    std::unique_ptr<ZipRequests> m_zipRequests;
    std::unique_ptr<AddDestinationMenu> m_addDestinationMenu;
    std::unique_ptr<Launcher> m_launcher;
    std::unique_ptr<StatusItem> m_statusItem;
    std::unique_ptr<QuickZipFlow> m_quickZipFlow;
    std::unique_ptr<StatusMenu> m_statusMenu;
    std::unique_ptr<FileManagerEntries> m_fileManagerEntries;
    QPointer<DestinationsDialog> m_destinationsConfigureDialog;
};

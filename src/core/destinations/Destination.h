#pragma once

#include "core/support/Error.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class KeyedCoder;
class Operation;
class UserInteraction;

// A place or a way of delivering an archive. The base class holds what every kind shares and
// decides in which folder an archive is written; the kinds override the hooks through which the
// zip request and the tiles talk to a Destination without knowing its kind. The model opens no
// window: the windows that edit it, and the way it speaks with the user, are handed to it by its
// owner (setEditing(), setUserInteraction()). A zip request calls, in order: destinationWillBeUsedWithURLsToZip(),
// finalFolderPath(), postZipOperationWithPathToCreatedZipArchive(), and at the end
// shouldDisplayArchiveCreatedNotification(), shouldRevealZipUponCreation() and
// destinationWasUsedWithArchivePath(). Everything runs on the GUI thread.
class Destination : public QObject
{
    Q_OBJECT

public:
    /// The kinds; the values are stored and used as menu tags, so they never change.
    enum DestinationType : qint32 {
        DestinationTypeGeneric = 0,
        DestinationTypeAddDestination = 1,
        DestinationTypeAirDrop = 2,
        DestinationTypeAlongsideSource = 3,
        DestinationTypeDesktop = 4,
        DestinationTypeDropbox = 5,
        DestinationTypeDummy = 6,
        DestinationTypeEmail = 7,
        DestinationTypeFolder = 8,
        DestinationTypeFTP = 9,
        DestinationTypeICloud = 10,
        DestinationTypeMessages = 11,
    };
    Q_ENUM(DestinationType)

    /// What a kind lets the user do with its Destinations, and what it shows (bits).
    enum Trait {
        Deletable = 0x1,
        Renamable = 0x2,
        /// Has a settings dialog.
        Configurable = 0x4,
        /// Takes drops and clicks; a placeholder does not.
        Interactive = 0x8,
        /// The "archive created" notice may be shown when the job ended quickly.
        ShowsCreatedNotice = 0x10,
    };
    Q_DECLARE_FLAGS(Traits, Trait)

    /// Called once: with no error to go on; with Error::cancellation() to stop without a word (the
    /// user cancelled); otherwise with the refusal the caller shows, and the request stops.
    using WillBeUsedCompletion = std::function<void(const Error &stop)>;
    using ConfigureCompletion = std::function<void(bool cancelled)>;
    /// Called once when a delivery has ended: with an empty problem when the archive was handed
    /// over (or the user chose not to), otherwise with one sentence telling the user what went
    /// wrong.
    using DeliveryCompletion = std::function<void(const QString &problem)>;

    /// A new Destination; its tag is 0, as for every Destination the system makes.
    Destination(const QString &rootFolderPath, const QString &name);
    /// A Destination read back from the Destinations file.
    explicit Destination(const KeyedCoder &coder);
    ~Destination() override;

    /// The folder that holds the job folders of the kinds that deliver elsewhere:
    /// "~/.local/share/Tessary/Archives". It is not created here.
    static QString internalFolderPath();

    QString rootFolderPath() const { return m_rootFolderPath; }
    void setRootFolderPath(const QString &path) { m_rootFolderPath = path; }
    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    qint64 tag() const { return m_tag; }
    /// The windows that edit a Destination: installed by the owner of the list, since they live
    /// above the model. Every way to them goes through the Destination.
    class Editing
    {
    public:
        virtual ~Editing() = default;
        /// The settings dialog of the Destination's kind; the completion hears whether it was
        /// cancelled.
        virtual void configure(Destination &destination, const ConfigureCompletion &completion) = 0;
        /// The rename dialog.
        virtual void rename(Destination &destination) = 0;
    };
    /// Kept, not owned; it outlives the Destination's use.
    void setEditing(Editing *editing) { m_editing = editing; }
    /// How the Destination speaks with the user; kept, not owned. Until one is set, messages go to
    /// standard error and questions are cancelled.
    void setUserInteraction(UserInteraction *user) { m_user = user; }

    /// Writes the fields this kind keeps in the Destinations file; a kind writes its own
    /// fields, then the base ones. Each kind reads them back in its constructor from a coder.
    virtual void encodeWithCoder(KeyedCoder &coder) const;

    virtual DestinationType type() const;
    /// What the kind lets the user do, and what it shows; a plain Destination has every trait but
    /// Configurable.
    virtual Traits traits() const;
    /// Whether the archive is selected in the file manager after a successful job.
    virtual bool shouldRevealZipUponCreation() const;
    /// Opens the settings dialog, for the kinds that have one and where the windows are
    /// installed; otherwise calls the completion with false at once.
    void configureWithCompletion(const ConfigureCompletion &completion);
    /// Opens the rename dialog, where the windows are installed.
    void rename();
    /// A click on the tile, where the chooser passes clicks on.
    virtual void handleClickAction();
    /// An Operation to run after the archive was created (nothing for most kinds).
    virtual std::shared_ptr<Operation> postZipOperationWithPathToCreatedZipArchive(const QString &archivePath);
    /// The name of the tile's picture among the interface's images; empty for none. A plain
    /// Destination (of the generic type) shows the desktop's icon of its root folder instead.
    virtual QString iconName() const;
    /// Prepares for a request: the base makes sure its final folder exists and goes on.
    virtual void destinationWillBeUsedWithURLsToZip(const QList<QUrl> &urls, const WillBeUsedCompletion &completion);
    /// Delivers the finished archive and reports when the delivery has ended, and how; the base
    /// delivers nothing and reports at once.
    virtual void destinationWasUsedWithArchivePath(const QString &archivePath, const DeliveryCompletion &delivered);

    /// The folder the archive is written into: a new job folder under the internal folder for
    /// the kinds whose root is that folder (made on every call), otherwise the root itself.
    QString finalFolderPath() const;
    /// Creates the final folder with its parents (for the kinds with job folders, the internal
    /// folder that holds them); the refusal that says why where there is none or it cannot be made.
    Error prepareFinalFolder() const;

    /// Announces a change the user made (a new name, a new configuration).
    void noteChange() { Q_EMIT destinationDidChange(this); }

Q_SIGNALS:
    /// The user changed the Destination (renamed or configured it): its owner saves the list.
    void destinationDidChange(Destination *destination);

protected:
    /// Messages and questions to the user.
    UserInteraction &user() const;

private:
    QString m_rootFolderPath;
    QString m_name;
    qint64 m_tag = 0;
    Editing *m_editing = nullptr;
    UserInteraction *m_user = nullptr;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Destination::Traits)

using DestinationPointer = std::shared_ptr<Destination>;
using DestinationList = QList<DestinationPointer>;

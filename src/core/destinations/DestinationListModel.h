#pragma once

#include "Destination.h"

#include <QObject>
#include <QString>

#include <memory>

class DestinationStore;

// The user's Destinations in tile order, by convention with the add tile last: the one list that
// the quick-zip grid, the Destinations window and the command line show. It is kept in the
// Destinations file, written whole whenever a Destination joins, leaves or changes. Every
// change is told by a signal, on the GUI thread.
class DestinationListModel final : public QObject
{
    Q_OBJECT

public:
    /// The list kept in the file at the path; empty until load().
    explicit DestinationListModel(QString storePath, QObject *parent = nullptr);
    ~DestinationListModel() override;

    /// "~/.local/share/Tessary/Destinations.data".
    static QString defaultStorePath();
    /// The Destinations of a first start: those that work here, and the add tile.
    static DestinationList defaultDestinations();

    QString storePath() const;
    const DestinationList &destinations() const { return m_destinations; }
    /// The Destinations an archive can be sent to, in tile order: every one but the add tile.
    DestinationList zippableDestinations() const;
    bool hasDestinationOfType(qint32 type) const;

    /// Reads the file, or takes the default set when it holds none (written with the first
    /// save). Each Destination is announced as added. A server password that an earlier version
    /// kept in the file moves to the keyring.
    void load();
    /// Inserts the Destination before the last one (the add tile), saves and announces it; false
    /// for null.
    bool add(const DestinationPointer &destination);
    /// Removes every occurrence of the Destination (and its password from the keyring), saves and
    /// announces it; false, doing nothing, for one that is not in the list (or null).
    bool remove(Destination *destination);
    /// Writes the whole list; false, after saveFailed(), when the file could not be written.
    bool save();

Q_SIGNALS:
    /// The Destination joined the list (or was loaded with it).
    void destinationAdded(Destination *destination);
    /// The Destination left the list; it lives until every receiver has heard.
    void destinationRemoved(Destination *destination);
    /// The file could not be written: the change holds until the program ends, the file keeps
    /// the list as it was.
    void saveFailed(const QString &storePath);

private:
    void adopt(const DestinationPointer &destination);

    std::unique_ptr<DestinationStore> m_store;
    DestinationList m_destinations;
};

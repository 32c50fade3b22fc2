#pragma once

#include "Destination.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The file that keeps the user's Destinations: a keyed archive whose root is the list, each
// element under its class name ("DestinationDesktop"...) with its keys. The file is replaced
// whole on every save, readable by the user only.
class DestinationStore final
{
public:
    explicit DestinationStore(QString path);

    QString path() const { return m_path; }

    /// The stored list; empty when there is no file, an empty list, or a file that cannot be
    /// read. Such a file is moved aside (to "Destinations.data.unreadable") by the next save, so
    /// that saving never destroys what the user had.
    DestinationList load();
    /// Writes the list; false when the file could not be written.
    bool save(const DestinationList &destinations);

    /// The keyed archive of the list; Dummy tiles are left out.
    static QByteArray archivedData(const DestinationList &destinations);
    /// The Destinations of a keyed archive; nothing when it is no archive of Destinations.
    static std::optional<DestinationList> unarchive(const QByteArray &data);

private:
    void moveUnreadableFileAside();

    QString m_path;
    bool m_fileIsUnreadable = false;
};

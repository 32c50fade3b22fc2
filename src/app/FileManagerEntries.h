#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class Destination;
class DestinationListModel;
class Settings;

// Keeps Tessary's entries in the file managers' menus in step with the Destinations: written at
// the start and whenever a Destination joins, leaves or is renamed, while the setting asks for
// them; removed when it is turned off. A burst of changes is written once.
class FileManagerEntries final : public QObject
{
    Q_OBJECT

public:
    FileManagerEntries(
        DestinationListModel &destinations, Settings &settings, QString program, QObject *parent = nullptr);

    /// Writes or removes the entries, as the setting is now, once the call that asks is over.
    void update();

private:
    void follow(Destination *destination);
    void apply();

    DestinationListModel &m_destinations;
    Settings &m_settings;
    const QString m_program;
    QTimer m_pending;
};

#pragma once

#include "destinations/Destination.h"

#include <QMutex>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class DestinationStore;
class DropboxManager;
class FileLogger;
class Settings;

// The application controller: one per process, reachable everywhere through gTessary. It owns
// the companions of the whole run and the user's logging switch.
class Tessary final : public QObject
{
    Q_OBJECT

public:
    /// A logging handler: takes one finished line. A handler taken while logging is off does
    /// nothing at all and tests false, so that a busy caller can skip building its lines.
    class LogHandler final
    {
    public:
        LogHandler() = default;
        explicit LogHandler(std::function<void(const QString &line)> write)
            : m_write(std::move(write))
        {
        }
        void operator()(const QString &line) const
        {
            if (m_write)
                m_write(line);
        }
        explicit operator bool() const { return static_cast<bool>(m_write); }

    private:
        std::function<void(const QString &line)> m_write;
    };

    /// Creates the controller and its companions, and makes it gTessary.
    Tessary();
    ~Tessary() override;

    Settings *settings() const { return m_settings.get(); }
    DropboxManager *dropboxManager() const { return m_dropboxManager.get(); }

    /// The user's Destinations in tile order; by convention the last is the add tile.
    const DestinationList &destinations() const { return m_destinations; }
    /// Loads the Destinations file, or makes the default set when it holds none (the default set
    /// is written with the first save).
    void createDestinations();
    /// Appends the default set.
    void createDefaultDestinations();
    /// Writes the whole list to the Destinations file.
    void saveDestinations();
    /// "~/.local/share/Tessary/Destinations.data".
    QString destinationsStorePath() const;
    bool hasDestinationOfType(qint32 type) const;
    /// Inserts the Destination before the last one (the add tile), saves and announces it;
    /// false for null.
    bool addDestination(const DestinationPointer &destination);
    /// Removes every occurrence of the Destination, saves and announces it; false for null.
    bool deleteDestination(Destination *destination);
    /// Saves the list after a Destination was configured or renamed.
    void destinationHasChanged(Destination *destination);

    /// The handler every part logs through, from any thread. While logging is on, it writes
    /// each line to standard error and to the log file on the Desktop.
    LogHandler log();

    /// Starts a new log file, "Tessary Log - DATE.txt" on the Desktop.
    void beginCapturingLogging();
    void endCapturingLogging();
    void toggleCapturingLogging();
    bool isCapturingLogging() const;

    /// The log file of the capture under way; null while logging is off.
    QString logFilePath() const;

private:
    std::shared_ptr<FileLogger> fileLogger() const;
    void writeLogLine(const QString &line);

    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<DropboxManager> m_dropboxManager;
    std::unique_ptr<DestinationStore> m_destinationStore;
    DestinationList m_destinations;

    mutable QMutex m_loggerLock;
    std::shared_ptr<FileLogger> m_fileLogger;
};

/// The one controller of the process; null before it is created.
extern Tessary *gTessary;

/// The controller's log handler, or one that does nothing while there is no controller.
Tessary::LogHandler tessaryLog();

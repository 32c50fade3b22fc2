#pragma once

#include <QFile>
#include <QMutex>
#include <QString>

// Appends lines to one log file, each flushed to disk at once so that the log survives a crash.
// Lines end in a line feed, as every tool of the system reads them; the logger adds nothing
// else of its own.
class FileLogger final
{
public:
    enum Mode {
        ModeAppend = 0, ///< continue an existing file
        ModeReplace = 1, ///< start with an empty file
    };

    FileLogger(const QString &path, Mode mode);

    QString path() const { return m_path; }

    /// Writes the line; false, writing nothing, when the file is no longer at its path.
    /// Safe from any thread.
    bool logString(const QString &line);

private:
    const QString m_path;
    QMutex m_lock;
    QFile m_file;
};

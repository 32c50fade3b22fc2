#pragma once

#include <QMutex>
#include <QObject>
#include <QString>

#include <memory>

class FileLogger;

// The user's capture of the log. While it runs, every line of the log goes to standard error and
// to a new file on the Desktop, "Tessary Log - DATE.txt", readable by the user only; a file that
// can no longer be written (the user deleted it) ends the capture. Lines may come from any thread.
class LogCapture final : public QObject
{
    Q_OBJECT

public:
    explicit LogCapture(QObject *parent = nullptr);
    /// Ends the capture.
    ~LogCapture() override;

    /// Starts a new log file; one under way ends first.
    void begin();
    void end();
    void toggle();
    bool isCapturing() const;
    /// The file of the capture under way; null while there is none.
    QString logFilePath() const;

private:
    std::shared_ptr<FileLogger> fileLogger() const;
    void writeLine(const QString &line);

    mutable QMutex m_lock;
    std::shared_ptr<FileLogger> m_fileLogger; // under m_lock
};

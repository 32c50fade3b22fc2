#pragma once

#include "ZipPlan.h"

#include <QByteArray>
#include <QMutex>
#include <QStringList>

#include <atomic>
#include <functional>

class ChildProcess;

// Builds one archive with a chain of zip tool runs, one after another, and follows the tool's
// output: how much it has read (its running byte counts, and the dot it prints for every
// DotSize bytes of a large file), the files it could not read, and why a run failed.
class ZipRunner final
{
public:
    static const QString ZipToolPath;
    /// The input the tool reads for every dot it prints, in bytes.
    static constexpr qint64 DotSize = 1 << 20;
    /// The tool's status when it made the archive but could not read some of the files.
    static constexpr int SomeFilesUnread = 18;

    /// Told, on the runner's thread, whenever the weight done has grown.
    using Progressed = std::function<void()>;

    ZipRunner(QList<ZipPlan::Run> runs, QString password, Progressed progressed);
    ~ZipRunner();
    ZipRunner(const ZipRunner &) = delete;
    ZipRunner &operator=(const ZipRunner &) = delete;

    /// Runs the chain on the calling thread until it ends, fails or is cancelled: the status of
    /// the last run made (0 or SomeFilesUnread for a made archive), -1 when a run did not start or
    /// was stopped.
    int run();
    /// Stops the run under way and every one after it; safe from any thread.
    void cancel();

    /// The bytes and entries the tool has taken so far, weighed as ZipPlan weighs them.
    qint64 weightDone() const { return m_weightDone.load(); }
    /// The end of the failed run's output.
    QByteArray output() const { return m_output; }
    /// The files the tool said it could not read, as stored.
    QStringList unreadNames() const { return m_unreadNames; }

private:
    int runTool(const ZipPlan::Run &run);
    void handleOutput(const QByteArray &chunk);

    const QList<ZipPlan::Run> m_runs;
    const QString m_password;
    const Progressed m_progressed;

    std::atomic<qint64> m_weightDone {0};
    qint64 m_weightOfRunsDone = 0;
    /// The tool's count of the bytes it read in this run, the entries it began and the dots it
    /// printed since the last one began.
    qint64 m_runBytes = 0;
    qsizetype m_runEntries = 0;
    qint64 m_runDots = 0;
    QByteArray m_output;
    QStringList m_unreadNames;

    std::atomic<bool> m_cancelled {false};
    QMutex m_processLock;
    ChildProcess *m_process = nullptr;
};

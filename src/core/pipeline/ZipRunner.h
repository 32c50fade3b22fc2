#pragma once

#include "PartBuilder.h"
#include "ZipPlan.h"

#include <QByteArray>
#include <QMutex>
#include <QStringList>

#include <atomic>
#include <functional>

class ChildProcess;

// Builds one archive with a chain of zip tool runs, one after another, and follows the tool's
// output: how much it has read (a dot for every DotSize bytes) and why a run failed. The runs'
// log names the files the tool could not read.
class ZipRunner final : public PartBuilder
{
public:
    static const QString ZipToolPath;
    /// The input the tool reads for every dot it prints, in bytes ("-ds 256k").
    static constexpr qint64 DotSize = 256 << 10;

    /// Told, on the runner's thread, whenever the bytes read have grown.
    using Progressed = std::function<void()>;

    ZipRunner(QList<ZipPlan::Run> runs, QString password, Progressed progressed, QString logPath);
    ~ZipRunner() override;
    ZipRunner(const ZipRunner &) = delete;
    ZipRunner &operator=(const ZipRunner &) = delete;

    /// Runs the chain on the calling thread until it ends, fails or is cancelled: the status of
    /// the last run made (0 or SomeFilesUnread, the tool's own status for it, for a made archive),
    /// -1 when a run did not start or was stopped.
    int run() override;
    /// Stops the run under way and every one after it; safe from any thread.
    void cancel() override;
    /// The bytes the tool has read so far, to the last dot.
    qint64 bytesRead() const override { return m_bytesRead.load(); }
    /// From the end of the failed run's output.
    QString failure(int status, const QString &outputFilePath) const override;
    /// From the log.
    QStringList unreadNames() const override;

    /// Why a run of the tool failed, in plain words, from its exit status and its messages.
    static QString describeFailure(int status, const QByteArray &output, const QString &outputFilePath);

private:
    int runTool(const ZipPlan::Run &run);
    void handleOutput(const QByteArray &chunk);

    const QList<ZipPlan::Run> m_runs;
    const QString m_password;
    const Progressed m_progressed;
    const QString m_logPath;

    std::atomic<qint64> m_bytesRead {0};
    QByteArray m_output;

    std::atomic<bool> m_cancelled {false};
    QMutex m_processLock;
    ChildProcess *m_process = nullptr;
};

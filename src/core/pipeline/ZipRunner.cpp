#include "ZipRunner.h"

#include "core/support/ChildProcess.h"
#include "core/support/Log.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

const QString ZipRunner::ZipToolPath = u"/usr/bin/zip"_s;

namespace {
constexpr qsizetype kKeptOutputBytes = 16384;

// The text after the marker in the first line of the tool's output that has it; null for none.
QString messageAfter(const QStringList &lines, const QString &marker)
{
    for (const QString &line : lines)
        if (const qsizetype at = line.indexOf(marker); at >= 0)
            return line.mid(at + marker.size()).trimmed();
    return {};
}
} // namespace

ZipRunner::ZipRunner(QList<ZipPlan::Run> runs, QString password, Progressed progressed, QString logPath)
    : m_runs(std::move(runs))
    , m_password(std::move(password))
    , m_progressed(std::move(progressed))
    , m_logPath(std::move(logPath))
{
}

ZipRunner::~ZipRunner() = default;

int ZipRunner::run()
{
    int status = 0;
    for (const ZipPlan::Run &run : m_runs) {
        m_output.clear();
        const int runStatus = runTool(run);
        if (m_cancelled)
            return -1;
        if (runStatus != 0 && runStatus != SomeFilesUnread)
            return runStatus;
        status = std::max(status, runStatus);
    }
    return status;
}

int ZipRunner::runTool(const ZipPlan::Run &run)
{
    ChildProcess process(ZipToolPath, run.arguments, run.workingDirectory);
    process.setErrorOutputMerged(true);
    process.setEndsWithParent(true); // zip never runs on after Tessary, killed or not
    process.setStandardInput(run.nameList);
    if (!m_password.isEmpty()) {
        // zip asks twice, on its terminal; the prompts come with its other messages.
        const QByteArray password = m_password.toUtf8();
        process.setTerminalAnswers({{"Enter password:", password}, {"Verify password:", password}});
    }
    {
        QMutexLocker locker(&m_processLock);
        if (m_cancelled)
            return -1;
        if (!process.start()) {
            Log::handler()(u"Archive: Could not start %1: %2"_s.arg(ZipToolPath, process.errorString()));
            m_output
                = u"zip error: %1 could not be started (%2)"_s.arg(ZipToolPath, process.errorString()).toLocal8Bit();
            return -1;
        }
        m_process = &process;
    }
    for (QByteArray chunk = process.readChunk(); !chunk.isEmpty(); chunk = process.readChunk())
        handleOutput(chunk);
    const int status = process.waitForExit();
    {
        QMutexLocker locker(&m_processLock);
        m_process = nullptr;
    }
    return status;
}

void ZipRunner::cancel()
{
    m_cancelled = true;
    QMutexLocker locker(&m_processLock);
    if (m_process != nullptr)
        m_process->terminate();
}

QString ZipRunner::failure(int status, const QString &outputFilePath) const
{
    return describeFailure(status, m_output, outputFilePath);
}

QStringList ZipRunner::unreadNames() const
{
    QFile log(m_logPath);
    return log.open(QIODevice::ReadOnly) ? ZipPlan::unreadNamesInLog(log.readAll()) : QStringList();
}

QString ZipRunner::describeFailure(int status, const QByteArray &output, const QString &outputFilePath)
{
    const QStringList lines = QString::fromLocal8Bit(output).split(u'\n');
    const QString folder = QFileInfo(outputFilePath).path();
    const QString systemReason = messageAfter(lines, u"zip I/O error: "_s);
    const QString because = systemReason.isEmpty() ? u"."_s : u" (%1)."_s.arg(systemReason);

    if (!messageAfter(lines, u"Could not create output file"_s).isNull())
        return u"The archive could not be created in the folder \"%1\"%2"_s.arg(folder, because);
    if (!messageAfter(lines, u"write failure"_s).isNull() || !systemReason.isEmpty())
        return u"The archive could not be written in the folder \"%1\"%2"_s.arg(folder, because);
    if (const QString error = messageAfter(lines, u"zip error: "_s); !error.isEmpty())
        return u"zip stopped: %1"_s.arg(error);
    if (status < 0)
        return u"zip was stopped before it could finish."_s;
    return u"zip stopped with status %1."_s.arg(status);
}

void ZipRunner::handleOutput(const QByteArray &chunk)
{
    m_output.append(chunk);
    if (m_output.size() > kKeptOutputBytes)
        m_output.remove(0, m_output.size() - kKeptOutputBytes);

    // The dots come alone, or before a message; a message's own full stops are not counted.
    qsizetype dots = 0;
    for (const char character : chunk) {
        if (character == '.')
            ++dots;
        else if (character != ' ' && character != '\n')
            break;
    }
    if (dots > 0) {
        m_bytesRead += dots * DotSize;
        if (m_progressed)
            m_progressed();
    }
    if (const Log::Handler log = Log::handler())
        log(u"Archive: Output: %1"_s.arg(QString::fromUtf8(chunk)));
}

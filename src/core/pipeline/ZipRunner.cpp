#include "ZipRunner.h"

#include "core/support/ChildProcess.h"
#include "core/support/Log.h"

using namespace Qt::Literals::StringLiterals;

const QString ZipRunner::ZipToolPath = u"/usr/bin/zip"_s;

namespace {
constexpr qsizetype kKeptOutputBytes = 16384;
} // namespace

ZipRunner::ZipRunner(QList<ZipPlan::Run> runs, QString password, Progressed progressed)
    : m_runs(std::move(runs))
    , m_password(std::move(password))
    , m_progressed(std::move(progressed))
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

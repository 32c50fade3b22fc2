#include "ZipRunner.h"

#include "app/Tessary.h"
#include "support/ChildProcess.h"

#include <QRegularExpression>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

const QString ZipRunner::ZipToolPath = u"/usr/bin/zip"_s;

namespace {

constexpr qsizetype kKeptOutputBytes = 16384;

// "4.7" and "M" as the tool prints a byte count: 4.7 × 1024².
qint64 bytesOfCount(const QString &number, const QString &unit)
{
    const qsizetype power = unit.isEmpty() ? 0 : QStringView(u"KMGT").indexOf(unit.front()) + 1;
    return static_cast<qint64>(number.toDouble() * std::pow(1024.0, static_cast<double>(power)));
}

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
        m_runBytes = 0;
        m_runEntries = 0;
        m_runDots = 0;
        m_output.clear();
        const int runStatus = runTool(run);
        if (m_cancelled)
            return -1;
        if (runStatus != 0 && runStatus != SomeFilesUnread)
            return runStatus;
        status = std::max(status, runStatus);
        m_weightOfRunsDone = m_weightDone;
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
            tessaryLog()(u"Archive: Could not start %1: %2"_s.arg(ZipToolPath, process.errorString()));
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

    // "[ 4.7M/ 57M]   adding: NAME" begins an entry, with the bytes read before it; the dots that
    // follow, alone in their writes, count the bytes of a large one.
    static const QRegularExpression byteCount(uR"(\[\s*([0-9.]+)([KMGT]?)\s*/)"_s);
    static const QRegularExpression unread(
        uR"(could not open for reading: \./(.*)$)"_s, QRegularExpression::MultilineOption);
    const QString text = QString::fromLatin1(chunk);
    bool entryBegun = false;
    for (const QRegularExpressionMatch &match : byteCount.globalMatch(text)) {
        m_runBytes = bytesOfCount(match.captured(1), match.captured(2));
        ++m_runEntries;
        m_runDots = 0;
        entryBegun = true;
    }
    if (!entryBegun && chunk.count('.') + chunk.count(' ') == chunk.size())
        m_runDots += chunk.count('.');
    for (const QRegularExpressionMatch &match : unread.globalMatch(text))
        m_unreadNames << QString::fromUtf8(match.captured(1).trimmed().toLatin1());

    const qint64 weight = m_weightOfRunsDone + m_runBytes + m_runDots * DotSize + m_runEntries * ZipPlan::EntryWeight;
    if (weight > m_weightDone) {
        m_weightDone = weight;
        if (m_progressed)
            m_progressed();
    }
    if (const Tessary::LogHandler log = tessaryLog())
        log(u"Archive: Output: %1"_s.arg(QString::fromUtf8(chunk)));
}

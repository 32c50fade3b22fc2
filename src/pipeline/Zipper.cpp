#include "Zipper.h"

#include "app/Tessary.h"
#include "support/ChildProcess.h"
#include "support/Utilities.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>

using namespace Qt::Literals::StringLiterals;

const QString Zipper::ZipToolPath = u"/usr/bin/zip"_s;

namespace {
constexpr float kFirstProgress = 0.01F;
constexpr float kMinimumProgress = 0.1F;
constexpr float kFillUpStep = 0.01F;
constexpr unsigned long kFillUpIntervalMs = 25;
const QString kRedacted = u"<REDACTED>"_s;

QString itemName(const QString &itemPath)
{
    return QFileInfo(QDir::cleanPath(itemPath)).fileName();
}
} // namespace

Zipper::~Zipper() = default;

QList<Zipper::Run> Zipper::runsForItems(
    const QStringList &itemPaths, const QString &outputFilePath, const QString &password)
{
    QList<Run> runs;
    for (const QString &itemPath : itemPaths) {
        const QString cleanPath = QDir::cleanPath(itemPath);
        QStringList arguments {u"-r"_s, u"-y"_s, u"-nw"_s};
        if (!runs.isEmpty())
            arguments << u"-g"_s;
        if (!password.isEmpty())
            arguments << u"-e"_s << u"-P"_s << password;
        arguments << outputFilePath << u"./"_s + itemName(cleanPath);

        QString workingDirectory = QFileInfo(cleanPath).path();
        if (!workingDirectory.endsWith(u'/'))
            workingDirectory += u'/';
        runs.append(Run {workingDirectory, arguments});
    }
    return runs;
}

QString Zipper::describeArguments(const QStringList &arguments, const QString &password)
{
    QStringList shown = arguments;
    if (!password.isEmpty())
        std::replace(shown.begin(), shown.end(), password, kRedacted);
    return u"("_s + shown.join(u", "_s) + u")"_s;
}

qsizetype Zipper::numberOfEntriesForItem(const QString &itemPath)
{
    const QFileInfo info(itemPath);
    if (!info.isDir() || info.isSymLink())
        return 1;
    qsizetype count = 0;
    QDirIterator entries(
        itemPath, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        entries.next();
        ++count;
    }
    return count;
}

Error Zipper::errorWithDescription(const QString &description)
{
    return Utilities::errorWithCode(ErrorCode, description);
}

Error Zipper::validateItems(const QStringList &itemPaths)
{
    QSet<QString> names;
    for (const QString &itemPath : itemPaths) {
        const QString name = itemName(itemPath);
        if (itemPath.isEmpty() || name.isEmpty())
            return errorWithDescription(
                u"\"%1\" cannot be added to a Tessary Archive: only files and folders can."_s.arg(itemPath));
        if (names.contains(name))
            return errorWithDescription(
                u"Two of the items are named \"%1\". A Tessary Archive keeps every item under its own name, "
                "so one would replace the other. Rename one of them and try again."_s.arg(name));
        names.insert(name);
    }
    return {};
}

void Zipper::createZipArchiveWithItems(const QList<QUrl> &urls, const QString &outputFilePath, const QString &password)
{
    if (urls.isEmpty()) {
        callCompletionBlock(errorWithDescription(u"No files were identified to add to the Tessary Archive."_s), {});
        return;
    }
    if (outputFilePath.isEmpty()) {
        callCompletionBlock(
            errorWithDescription(u"No suitable destination was specified for the Tessary Archive."_s), {});
        return;
    }
    QStringList itemPaths;
    for (const QUrl &url : urls)
        itemPaths << url.toLocalFile();
    if (const Error error = validateItems(itemPaths); !error.isNull()) {
        callCompletionBlock(error, {});
        return;
    }

    setProgress(kFirstProgress);
    for (const QString &itemPath : std::as_const(itemPaths))
        m_numberOfItemsToZip += numberOfEntriesForItem(itemPath);

    const QList<Run> runs = runsForItems(itemPaths, outputFilePath, password);
    for (qsizetype i = 0; i < runs.size(); ++i) {
        tessaryLog()(u"Archive: Processing file: %1"_s.arg(itemPaths.at(i)));
        tessaryLog()(u"Archive: Arguments: %1"_s.arg(describeArguments(runs.at(i).arguments, password)));

        const bool succeeded = runTool(runs.at(i));
        if (isCancelled()) {
            finishCancelled(outputFilePath);
            return;
        }
        if (!succeeded) {
            tessaryLog()(u"Archive: Task failed."_s);
            // What was written so far is not the archive the user asked for; leaving it would
            // look like a finished one.
            QFile::remove(outputFilePath);
            callCompletionBlock(errorWithDescription(u"Archive Creation Failure"_s), {});
            return;
        }
    }

    fillUpProgress();
    if (isCancelled()) {
        finishCancelled(outputFilePath);
        return;
    }
    callCompletionBlock({}, {});
}

bool Zipper::runTool(const Run &run)
{
    ChildProcess process(ZipToolPath, run.arguments, run.workingDirectory);
    {
        QMutexLocker locker(&m_processLock);
        if (isCancelled())
            return false;
        if (!process.start()) {
            tessaryLog()(u"Archive: Could not start %1: %2"_s.arg(ZipToolPath, process.errorString()));
            return false;
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
    return status == 0;
}

void Zipper::cancel()
{
    m_cancelled = true;
    QMutexLocker locker(&m_processLock);
    if (m_process != nullptr)
        m_process->terminate();
}

void Zipper::handleOutput(const QByteArray &chunk)
{
    ++m_numberOfItemsZipped;
    setProgress(static_cast<float>(m_numberOfItemsZipped) / static_cast<float>(m_numberOfItemsToZip));
    if (const Tessary::LogHandler log = tessaryLog())
        log(u"Archive: Output: %1"_s.arg(QString::fromUtf8(chunk)));
}

void Zipper::setProgress(float progress)
{
    if (static_cast<double>(progress) < static_cast<double>(kMinimumProgress))
        progress = kMinimumProgress;
    progress = std::min(1.0F, progress);
    if (progress == m_progress)
        return;
    m_progress = progress;
    if (m_progressBlock)
        m_progressBlock(progress);
    if (const Tessary::LogHandler log = tessaryLog())
        log(u"Archive: Progress: %1"_s.arg(static_cast<double>(progress), 0, 'f', 6));
}

void Zipper::fillUpProgress()
{
    if (!m_progressBlock)
        return;
    while (m_progress < 1.0F && !isCancelled()) {
        setProgress(m_progress + kFillUpStep);
        QThread::msleep(kFillUpIntervalMs);
    }
}

void Zipper::finishCancelled(const QString &outputFilePath)
{
    tessaryLog()(u"Archive: Task cancelled."_s);
    QFile::remove(outputFilePath);
    callCompletionBlock(errorWithDescription(u"User Cancelled"_s), {});
}

void Zipper::callCompletionBlock(const Error &error, const QString &pathToCreatedZipArchive)
{
    if (m_completion)
        m_completion(error, pathToCreatedZipArchive);
}

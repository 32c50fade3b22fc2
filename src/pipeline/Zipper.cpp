#include "Zipper.h"

#include "app/Tessary.h"
#include "support/ChildProcess.h"
#include "support/Utilities.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QThread>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

const QString Zipper::ZipToolPath = u"/usr/bin/zip"_s;

namespace {
constexpr float kFirstProgress = 0.01F;
constexpr float kMinimumProgress = 0.1F;
// Until the tool has ended, the bar stays short of full.
constexpr float kLastRunningProgress = 0.99F;
constexpr float kFillUpStep = 0.01F;
constexpr unsigned long kFillUpIntervalMs = 25;
// An entry costs the tool about as much as reading this many bytes, so that a folder of many
// small files moves the bar too.
constexpr qint64 kEntryWeight = 4096;
constexpr qsizetype kKeptOutputBytes = 16384;
const QString kRedacted = u"<REDACTED>"_s;

QString itemName(const QString &itemPath)
{
    return QFileInfo(QDir::cleanPath(itemPath)).fileName();
}

qint64 units(const Zipper::ItemSize &size)
{
    return size.bytes + static_cast<qint64>(size.entries) * kEntryWeight;
}

// "4.7" and "M" as the tool prints a byte count: 4.7 × 1024².
qint64 bytesOfCount(const QString &number, const QString &unit)
{
    const qsizetype power = unit.isEmpty() ? 0 : QStringView(u"KMGT").indexOf(unit.front()) + 1;
    return static_cast<qint64>(number.toDouble() * std::pow(1024.0, static_cast<double>(power)));
}

// The text after the marker in the first line of the tool's output that has it; null for none.
QString messageAfter(const QStringList &lines, const QString &marker)
{
    for (const QString &line : lines)
        if (const qsizetype at = line.indexOf(marker); at >= 0)
            return line.mid(at + marker.size()).trimmed();
    return {};
}

QString missingItemReason(const QString &name)
{
    return u"\"%1\" could not be found. It may have been moved or deleted."_s.arg(name);
}

// The name of an item as the tool gives it ("./Photos" for a dropped folder), as the user knows it.
QString shownName(QString name)
{
    if (name.startsWith(u"./"_s))
        name.remove(0, 2);
    return name;
}
} // namespace

Zipper::~Zipper() = default;

QList<Zipper::Run> Zipper::runsForItems(
    const QStringList &itemPaths, const QString &outputFilePath, const QString &password)
{
    QList<Run> runs;
    for (const QString &itemPath : itemPaths) {
        const QString cleanPath = QDir::cleanPath(itemPath);
        QStringList arguments {u"-r"_s, u"-y"_s, u"-nw"_s, u"-db"_s, u"-dd"_s, u"-ds"_s, u"1m"_s};
        if (!runs.isEmpty())
            arguments << u"-g"_s;
        if (!password.isEmpty())
            arguments << u"-e"_s;
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

Zipper::ItemSize Zipper::sizeOfItem(const QString &itemPath)
{
    const QFileInfo info(itemPath);
    if (!info.isDir() || info.isSymLink())
        return {1, info.isSymLink() ? 0 : info.size()};
    ItemSize size;
    QDirIterator entries(
        itemPath, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QFileInfo entry = entries.nextFileInfo();
        ++size.entries;
        if (entry.isFile() && !entry.isSymLink())
            size.bytes += entry.size();
    }
    return size;
}

QString Zipper::describeFailure(int status, const QByteArray &output, const QString &outputFilePath)
{
    const QStringList lines = QString::fromLocal8Bit(output).split(u'\n');
    const QString folder = QFileInfo(outputFilePath).path();
    const QString systemReason = messageAfter(lines, u"zip I/O error: "_s);
    const QString because = systemReason.isEmpty() ? u"."_s : u" (%1)."_s.arg(systemReason);

    if (const QString name = messageAfter(lines, u"could not open for reading: "_s); !name.isNull())
        return u"\"%1\" could not be read. Check that you are allowed to read it."_s.arg(shownName(name));
    if (const QString name = messageAfter(lines, u"name not matched: "_s); !name.isNull())
        return missingItemReason(shownName(name));
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

Error Zipper::errorWithDescription(const QString &description)
{
    return Utilities::errorWithCode(ErrorCode, description);
}

QString Zipper::passwordProblem(const QString &password)
{
    if (password.toUtf8().size() <= MaximumPasswordBytes)
        return {};
    return u"The password is too long: a Tessary Archive takes a password of at most %1 characters (accented "
           "letters and symbols count as two or three). Please choose a shorter one."_s.arg(MaximumPasswordBytes);
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
    if (const QString problem = passwordProblem(password); !problem.isNull()) {
        callCompletionBlock(errorWithDescription(problem), {});
        return;
    }
    m_password = password;
    if (const Error error = validateItems(itemPaths); !error.isNull()) {
        callCompletionBlock(error, {});
        return;
    }

    setProgress(kFirstProgress);
    QList<ItemSize> sizes;
    for (const QString &itemPath : std::as_const(itemPaths)) {
        sizes << sizeOfItem(itemPath);
        m_sizeToZip.entries += sizes.last().entries;
        m_sizeToZip.bytes += sizes.last().bytes;
    }

    const QList<Run> runs = runsForItems(itemPaths, outputFilePath, password);
    for (qsizetype i = 0; i < runs.size(); ++i) {
        tessaryLog()(u"Archive: Processing file: %1"_s.arg(itemPaths.at(i)));
        tessaryLog()(u"Archive: Arguments: %1"_s.arg(describeArguments(runs.at(i).arguments, password)));

        m_runBytes = 0;
        m_runEntries = 0;
        m_runDots = 0;
        m_output.clear();
        // An item gone since the drop leaves the tool no folder to run in.
        const int status = Utilities::fileExistsAtPath(itemPaths.at(i)) ? runTool(runs.at(i)) : -1;
        if (isCancelled()) {
            finishCancelled(outputFilePath);
            return;
        }
        if (status != 0) {
            tessaryLog()(u"Archive: Task failed."_s);
            // What was written so far is not the archive the user asked for; leaving it would
            // look like a finished one.
            QFile::remove(outputFilePath);
            const QString reason = Utilities::fileExistsAtPath(itemPaths.at(i))
                ? describeFailure(status, m_output, outputFilePath)
                : missingItemReason(itemName(itemPaths.at(i)));
            callCompletionBlock(errorWithDescription(u"Archive Creation Failure: "_s + reason), {});
            return;
        }
        m_unitsDone += units(sizes.at(i));
    }

    fillUpProgress();
    if (isCancelled()) {
        finishCancelled(outputFilePath);
        return;
    }
    callCompletionBlock({}, {});
}

int Zipper::runTool(const Run &run)
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
        if (isCancelled())
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

void Zipper::cancel()
{
    m_cancelled = true;
    QMutexLocker locker(&m_processLock);
    if (m_process != nullptr)
        m_process->terminate();
}

void Zipper::handleOutput(const QByteArray &chunk)
{
    m_output.append(chunk);
    if (m_output.size() > kKeptOutputBytes)
        m_output.remove(0, m_output.size() - kKeptOutputBytes);

    // "[ 4.7M/ 57M]   adding: NAME" begins an entry, with the bytes read before it; the dots that
    // follow, alone in their writes, count the bytes of a large one.
    static const QRegularExpression byteCount(uR"(\[\s*([0-9.]+)([KMGT]?)\s*/)"_s);
    bool entryBegun = false;
    for (const QRegularExpressionMatch &match : byteCount.globalMatch(QString::fromLatin1(chunk))) {
        m_runBytes = bytesOfCount(match.captured(1), match.captured(2));
        ++m_runEntries;
        m_runDots = 0;
        entryBegun = true;
    }
    if (!entryBegun && chunk.count('.') + chunk.count(' ') == chunk.size())
        m_runDots += chunk.count('.');
    updateProgress();

    if (const Tessary::LogHandler log = tessaryLog())
        log(u"Archive: Output: %1"_s.arg(QString::fromUtf8(chunk)));
}

void Zipper::updateProgress()
{
    const qint64 total = units(m_sizeToZip);
    if (total == 0) {
        setProgress(kLastRunningProgress); // nothing to read: as good as done
        return;
    }
    const qint64 done = m_unitsDone + m_runBytes + m_runDots * DotSize + m_runEntries * kEntryWeight;
    const float progress
        = std::min(kLastRunningProgress, static_cast<float>(static_cast<double>(done) / static_cast<double>(total)));
    // The tool's counts are rounded: never step back.
    if (progress > m_progress)
        setProgress(progress);
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

#include "Zipper.h"

#include "AesPartWriter.h"
#include "ZipMerger.h"
#include "ZipPlan.h"
#include "ZipRunner.h"
#include "ZipScratch.h"
#include "core/support/FileNames.h"
#include "core/support/Log.h"
#include "core/support/Utilities.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <thread>

#include <sched.h>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr float kFirstProgress = 0.01F;
constexpr float kMinimumProgress = 0.1F;
// Until the archive is whole, the bar stays short of full.
constexpr float kLastRunningProgress = 0.99F;
// More parts than this gain little: the disk becomes the limit.
constexpr int kMostParallelRuns = 8;
// An AES-256 file costs a key derivation of its own: about as long as reading and encrypting this
// many bytes, which progress counts for it.
constexpr qint64 kAesWorkPerFile = 64 * 1024;
constexpr qsizetype kLeftOutNamesShown = 5;
const QString kRedacted = u"<REDACTED>"_s;

QString itemName(const QString &itemPath)
{
    return QFileInfo(QDir::cleanPath(itemPath)).fileName();
}

QString missingItemReason(const QString &name)
{
    return u"\"%1\" could not be found. It may have been moved or deleted."_s.arg(name);
}

// The cores this process may run on (fewer than the machine's where it is confined).
int coresToUse()
{
    cpu_set_t cores;
    CPU_ZERO(&cores);
    if (::sched_getaffinity(0, sizeof cores, &cores) == 0)
        return CPU_COUNT(&cores);
    return QThread::idealThreadCount();
}

// The finished archive takes its name in one step, never over a file that took the name meanwhile.
QString moveIntoPlace(const QString &archivePath, const QString &outputFilePath)
{
    if (::renameat2(AT_FDCWD, FileNames::encode(archivePath).constData(), AT_FDCWD,
            FileNames::encode(outputFilePath).constData(), RENAME_NOREPLACE)
        == 0)
        return {};
    if (errno == EEXIST)
        return u"The archive could not take the name \"%1\": another file of that name was put in its folder "
               "meanwhile."_s.arg(outputFilePath);
    return u"The archive could not be written in the folder \"%1\" (%2)."_s.arg(
        QFileInfo(outputFilePath).path(), qt_error_string(errno));
}
} // namespace

Zipper::Zipper()
    : m_maximumParallelRuns(std::clamp(coresToUse(), 1, kMostParallelRuns))
{
}

Zipper::~Zipper() = default;

QString Zipper::describeArguments(const QStringList &arguments, const QString &password)
{
    QStringList shown = arguments;
    if (!password.isEmpty())
        std::replace(shown.begin(), shown.end(), password, kRedacted);
    return u"("_s + shown.join(u", "_s) + u")"_s;
}

Error Zipper::errorWithDescription(const QString &description)
{
    return Utilities::errorWithCode(ErrorCode, description);
}

QString Zipper::passwordProblem(const QString &password)
{
    // The tool reads the password as a line: what comes after a line break would be lost.
    if (password.contains(u'\n') || password.contains(u'\r'))
        return u"The password has a line break in it, which a Tessary Archive cannot keep: the archive would open "
               "with the part before it alone. Please choose a password on one line."_s;
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

void Zipper::createZipArchiveWithItems(
    const QList<QUrl> &urls, const QString &outputFilePath, const QString &password, ZipEncryption encryption)
{
    if (urls.isEmpty()) {
        callCompletion(errorWithDescription(u"No files were identified to add to the Tessary Archive."_s), {});
        return;
    }
    if (outputFilePath.isEmpty()) {
        callCompletion(errorWithDescription(u"No suitable destination was specified for the Tessary Archive."_s), {});
        return;
    }
    QStringList itemPaths;
    for (const QUrl &url : urls)
        itemPaths << FileNames::localPath(url);
    if (const QString problem = passwordProblem(password); !problem.isNull()) {
        callCompletion(errorWithDescription(problem), {});
        return;
    }
    if (const Error error = validateItems(itemPaths); !error.isNull()) {
        callCompletion(error, {});
        return;
    }
    const auto fail = [&](const QString &reason) {
        Log::handler()(u"Archive: Task failed."_s);
        callCompletion(errorWithDescription(u"Archive Creation Failure: "_s + reason), {});
    };
    // An item gone since the drop leaves the tool no folder to run in.
    for (const QString &itemPath : std::as_const(itemPaths)) {
        if (!Utilities::fileExistsAtPath(itemPath)) {
            fail(missingItemReason(itemName(itemPath)));
            return;
        }
    }

    m_workPerFile = !password.isEmpty() && encryption == ZipEncryptionAES256 ? kAesWorkPerFile : 0;
    setProgress(kFirstProgress);
    QList<ZipPlan::Size> sizes;
    QStringList leftOut;
    for (const QString &itemPath : std::as_const(itemPaths)) {
        sizes << ZipPlan::sizeOfItem(itemPath, itemName(itemPath));
        m_bytesToZip += sizes.last().bytes;
        m_filesToZip += sizes.last().entries;
        leftOut << sizes.last().leftOut;
    }

    const ZipScratch scratch(outputFilePath);
    if (!scratch.wasMade()) {
        fail(u"The archive could not be created in the folder \"%1\" (%2)."_s.arg(
            QFileInfo(outputFilePath).path(), scratch.errorString()));
        return;
    }
    // A dropped folder may hold the archive's own folder: what the job writes there stays out.
    const QList<QList<ZipPlan::Unit>> parts = ZipPlan::split(itemPaths, sizes, m_maximumParallelRuns,
        {scratch.path(), outputFilePath, Utilities::claimPath(outputFilePath)});
    if (parts.isEmpty()) {
        fail(u"There is nothing to put into the archive: pipes, sockets and devices cannot be zipped."_s);
        return;
    }
    QStringList partPaths;
    {
        QMutexLocker locker(&m_runnersLock);
        const auto progressed = [this] { updateProgress(); };
        for (const QList<ZipPlan::Unit> &part : parts) {
            partPaths << scratch.entryPath(u"%1.zip"_s.arg(partPaths.size() + 1));
            if (const Log::Handler log = Log::handler())
                for (const ZipPlan::Unit &unit : part)
                    log(u"Archive: Processing file: %1"_s.arg(unit.path));
            // AES-256 is libzip's to write; everything else the zip tool's, which is faster.
            if (!password.isEmpty() && encryption == ZipEncryptionAES256) {
                m_runners.push_back(std::make_unique<AesPartWriter>(part, partPaths.last(), password, progressed));
                continue;
            }
            const QString logPath = scratch.entryPath(u"%1.log"_s.arg(partPaths.size()));
            const QList<ZipPlan::Run> runs
                = ZipPlan::runsForUnits(part, partPaths.last(), !password.isEmpty(), logPath);
            if (const Log::Handler log = Log::handler())
                for (const ZipPlan::Run &run : runs)
                    log(u"Archive: Arguments: %1"_s.arg(describeArguments(run.arguments, password)));
            m_runners.push_back(std::make_unique<ZipRunner>(runs, password, progressed, logPath));
        }
        m_statuses.assign(size_t(partPaths.size()), 0);
    }

    const qsizetype failed = runParts();
    if (isCancelled()) {
        finishCancelled();
        return;
    }
    if (failed >= 0) {
        QString problem = m_runners.at(size_t(failed))->failure(m_statuses.at(size_t(failed)), outputFilePath);
        // The user knows the archive's folder, not the hidden one the parts are made in.
        fail(problem.replace(scratch.path(), QFileInfo(outputFilePath).path()));
        return;
    }

    // The parts are joined inside the scratch folder (which goes, whatever happens) and the
    // archive then takes its name in one step.
    QString joined = partPaths.first();
    QString problem;
    if (partPaths.size() > 1) {
        joined = scratch.entryPath(u"joined.zip"_s);
        problem = ZipMerger::merge(partPaths, joined, &m_cancelled);
        // The user knows the archive's folder, not the hidden one the parts are joined in.
        problem.replace(scratch.path(), QFileInfo(outputFilePath).path());
    }
    if (problem.isEmpty() && !isCancelled()) {
        problem = moveIntoPlace(joined, outputFilePath);
        // Cancelled while it took its name: the archive that was asked for goes after all.
        if (problem.isEmpty() && isCancelled())
            QFile::remove(outputFilePath);
    }
    if (isCancelled()) {
        finishCancelled();
        return;
    }
    if (!problem.isEmpty()) {
        fail(problem);
        return;
    }

    // Those found unreadable beforehand are known; the parts name the files that went or became
    // unreadable while they were built.
    const bool someUnread = std::any_of(
        m_statuses.cbegin(), m_statuses.cend(), [](int status) { return status == PartBuilder::SomeFilesUnread; });
    if (someUnread) {
        for (const auto &runner : m_runners)
            for (const QString &name : runner->unreadNames())
                if (!leftOut.contains(name))
                    leftOut << name;
    }
    if (someUnread || !leftOut.isEmpty()) {
        Log::handler()(u"Archive: Task ended without %1 item(s)."_s.arg(leftOut.size()));
        callCompletion(errorWithDescription(describeLeftOut(leftOut, outputFilePath)), {});
        return;
    }
    setProgress(1.0F);
    callCompletion({}, {});
}

qsizetype Zipper::runParts()
{
    std::atomic<qsizetype> failed {-1};
    const auto runPart = [this, &failed](size_t index) {
        const int status = m_runners.at(index)->run();
        m_statuses[index] = status;
        if (status == 0 || status == PartBuilder::SomeFilesUnread || isCancelled())
            return;
        // One part failed: the archive cannot be made, the others stop at once.
        qsizetype none = -1;
        if (failed.compare_exchange_strong(none, qsizetype(index))) {
            QMutexLocker locker(&m_runnersLock);
            for (const auto &runner : m_runners)
                runner->cancel();
        }
    };
    if (m_runners.size() == 1) {
        runPart(0);
    } else {
        std::vector<std::thread> threads;
        for (size_t i = 0; i < m_runners.size(); ++i)
            threads.emplace_back(runPart, i);
        for (std::thread &thread : threads)
            thread.join();
    }
    return failed;
}

void Zipper::cancel()
{
    m_cancelled = true;
    QMutexLocker locker(&m_runnersLock);
    for (const auto &runner : m_runners)
        runner->cancel();
}

void Zipper::updateProgress()
{
    QMutexLocker locker(&m_progressLock);
    const qint64 total = m_bytesToZip + m_filesToZip * m_workPerFile;
    if (total == 0) {
        setProgress(kLastRunningProgress); // nothing to read: as good as done
        return;
    }
    qint64 done = 0;
    for (const auto &runner : m_runners)
        done += runner->bytesRead() + runner->filesWritten() * m_workPerFile;
    const float progress
        = std::min(kLastRunningProgress, static_cast<float>(static_cast<double>(done) / static_cast<double>(total)));
    // The tool's counts are rounded: never step back.
    if (progress > m_progress)
        setProgress(progress);
}

void Zipper::setProgress(float progress)
{
    progress = std::clamp(progress, kMinimumProgress, 1.0F);
    // Only a change the user can see is worth a report.
    const auto percent = [](float value) { return static_cast<int>(value * 100.0F); };
    if (percent(progress) == percent(m_progress))
        return;
    m_progress = progress;
    if (m_progressHandler)
        m_progressHandler(progress);
    if (const Log::Handler log = Log::handler())
        log(u"Archive: Progress: %1"_s.arg(static_cast<double>(progress), 0, 'f', 6));
}

QString Zipper::describeLeftOut(const QStringList &names, const QString &outputFilePath)
{
    if (names.isEmpty())
        return u"Archive Creation Failure: Some files could not be read and are not in the archive. Check that you "
               "are allowed to read them. The archive, without them, was kept at \"%1\"."_s.arg(outputFilePath);
    QStringList shown;
    for (const QString &name : names.first(std::min(names.size(), kLeftOutNamesShown)))
        shown << u"\"%1\""_s.arg(name);
    QString list = shown.join(u", "_s);
    if (names.size() > kLeftOutNamesShown)
        list += u" and %1 more"_s.arg(names.size() - kLeftOutNamesShown);
    return u"Archive Creation Failure: %1 could not be added to the archive: %2. Check that you are allowed to "
           "read them and that their paths are not too long. The archive, without them, was kept at \"%3\"."_s.arg(
               names.size() == 1 ? u"1 item"_s : u"%1 items"_s.arg(names.size()), list, outputFilePath);
}

void Zipper::finishCancelled()
{
    Log::handler()(u"Archive: Task cancelled."_s);
    callCompletion(errorWithDescription(u"User Cancelled"_s), {});
}

void Zipper::callCompletion(const Error &error, const QString &pathToCreatedZipArchive)
{
    if (m_completion)
        m_completion(error, pathToCreatedZipArchive);
}

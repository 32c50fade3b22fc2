#include "Tessary.h"

#include "core/pipeline/ThreadHops.h"
#include "core/support/FileLogger.h"
#include "core/support/Utilities.h"

#include <QDateTime>
#include <QDebug>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr double kLoggingOffDelay = 0.001;

QString newLogFilePath()
{
    const QString date = QDateTime::currentDateTimeUtc().toString(u"yyyy-MM-dd HH:mm:ss"_s) + u" +0000"_s;
    return u"%1 - %2.txt"_s.arg(
        Utilities::filePathForSystemFolderWithID(QStandardPaths::DesktopLocation) + u"/Tessary Log"_s, date);
}
} // namespace

Log::Handler Tessary::log()
{
    return Log::handler();
}

void Tessary::writeLogLine(const QString &line)
{
    qInfo().noquote() << line;
    const std::shared_ptr<FileLogger> logger = fileLogger();
    if (logger && !logger->logString(line))
        executeBlockOnMainThread(
            this, [this] { endCapturingLogging(); }, kLoggingOffDelay);
}

void Tessary::beginCapturingLogging()
{
    const QString path = newLogFilePath();
    endCapturingLogging();
    auto logger = std::make_shared<FileLogger>(path, FileLogger::ModeReplace);
    {
        QMutexLocker locker(&m_loggerLock);
        m_fileLogger = std::move(logger);
    }
    Log::setWriter([this](const QString &line) { writeLogLine(line); });
}

void Tessary::endCapturingLogging()
{
    Log::setWriter({});
    QMutexLocker locker(&m_loggerLock);
    m_fileLogger.reset();
}

void Tessary::toggleCapturingLogging()
{
    if (isCapturingLogging())
        endCapturingLogging();
    else
        beginCapturingLogging();
}

bool Tessary::isCapturingLogging() const
{
    return fileLogger() != nullptr;
}

QString Tessary::logFilePath() const
{
    const std::shared_ptr<FileLogger> logger = fileLogger();
    return logger ? logger->path() : QString();
}

std::shared_ptr<FileLogger> Tessary::fileLogger() const
{
    QMutexLocker locker(&m_loggerLock);
    return m_fileLogger;
}

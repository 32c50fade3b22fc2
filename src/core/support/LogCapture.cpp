#include "LogCapture.h"

#include "FileLogger.h"
#include "Log.h"
#include "Utilities.h"
#include "core/pipeline/ThreadHops.h"

#include <QDateTime>
#include <QDebug>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr double kEndDelay = 0.001;

QString newLogFilePath()
{
    const QString date = QDateTime::currentDateTimeUtc().toString(u"yyyy-MM-dd HH:mm:ss"_s) + u" +0000"_s;
    return u"%1 - %2.txt"_s.arg(
        Utilities::filePathForSystemFolderWithID(QStandardPaths::DesktopLocation) + u"/Tessary Log"_s, date);
}
} // namespace

LogCapture::LogCapture(QObject *parent)
    : QObject(parent)
{
}

LogCapture::~LogCapture()
{
    end();
}

void LogCapture::writeLine(const QString &line)
{
    qInfo().noquote() << line;
    const std::shared_ptr<FileLogger> logger = fileLogger();
    if (logger && !logger->logString(line))
        runOnMainThread(
            this, [this] { end(); }, kEndDelay);
}

void LogCapture::begin()
{
    const QString path = newLogFilePath();
    end();
    auto logger = std::make_shared<FileLogger>(path, FileLogger::ModeReplace);
    {
        QMutexLocker locker(&m_lock);
        m_fileLogger = std::move(logger);
    }
    Log::setWriter([this](const QString &line) { writeLine(line); });
}

void LogCapture::end()
{
    Log::setWriter({});
    QMutexLocker locker(&m_lock);
    m_fileLogger.reset();
}

void LogCapture::toggle()
{
    if (isCapturing())
        end();
    else
        begin();
}

bool LogCapture::isCapturing() const
{
    return fileLogger() != nullptr;
}

QString LogCapture::logFilePath() const
{
    const std::shared_ptr<FileLogger> logger = fileLogger();
    return logger ? logger->path() : QString();
}

std::shared_ptr<FileLogger> LogCapture::fileLogger() const
{
    QMutexLocker locker(&m_lock);
    return m_fileLogger;
}

#include "Log.h"

#include <QMutex>

namespace {
QMutex &writerLock()
{
    static QMutex lock;
    return lock;
}

std::function<void(const QString &line)> &currentWriter()
{
    static std::function<void(const QString &line)> writer;
    return writer;
}
} // namespace

void Log::setWriter(std::function<void(const QString &line)> writer)
{
    QMutexLocker locker(&writerLock());
    currentWriter() = std::move(writer);
}

Log::Handler Log::handler()
{
    QMutexLocker locker(&writerLock());
    return Handler(currentWriter());
}

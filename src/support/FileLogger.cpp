#include "FileLogger.h"

#include <QFileInfo>

#include <unistd.h>

FileLogger::FileLogger(const QString &path, Mode mode)
    : m_path(path)
    , m_file(path)
{
    if (mode == ModeReplace)
        QFile::remove(path);
    m_file.open(QIODevice::WriteOnly | QIODevice::Append);
}

bool FileLogger::logString(const QString &line)
{
    QMutexLocker locker(&m_lock);
    if (!m_file.isOpen() || !QFileInfo::exists(m_path))
        return false;
    m_file.write(line.toUtf8() + '\r');
    m_file.flush();
    ::fsync(m_file.handle());
    return true;
}

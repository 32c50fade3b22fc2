#include "FileLogger.h"

#include <QFileInfo>

#include <unistd.h>

FileLogger::FileLogger(const QString &path, Mode mode)
    : m_path(path)
    , m_file(path)
{
    if (mode == ModeReplace)
        QFile::remove(path);
    // The log may name the user's files and servers: for the user's eyes only.
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Append, ownerOnly))
        m_file.setPermissions(ownerOnly);
}

bool FileLogger::logString(const QString &line)
{
    QMutexLocker locker(&m_lock);
    if (!m_file.isOpen() || !QFileInfo::exists(m_path))
        return false;
    m_file.write(line.toUtf8() + '\n');
    m_file.flush();
    ::fsync(m_file.handle());
    return true;
}

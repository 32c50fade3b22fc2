#include "TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QSettings>

using namespace Qt::Literals::StringLiterals;

TemporaryHome::TemporaryHome()
{
    setVariable("HOME", path());
    setVariable("XDG_CONFIG_HOME", filePath(u".config"_s));
    setVariable("XDG_DATA_HOME", filePath(u".local/share"_s));
    setVariable("XDG_CACHE_HOME", filePath(u".cache"_s));
    // The running copy's lock and socket live here: a test's copies meet only each other.
    setVariable("XDG_RUNTIME_DIR", filePath(u"run"_s));
    QDir().mkpath(filePath(u"run"_s));
    QFile::setPermissions(filePath(u"run"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir().mkpath(desktopPath());
    // The settings file's folder is read once per process; point it here explicitly.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, filePath(u".config"_s));
}

TemporaryHome::~TemporaryHome()
{
    for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
        if (it.value().isNull())
            qunsetenv(it.key().constData());
        else
            qputenv(it.key().constData(), it.value());
    }
}

QString TemporaryHome::desktopPath() const
{
    return filePath(u"Desktop"_s);
}

void TemporaryHome::setVariable(const char *name, const QString &value)
{
    if (!m_saved.contains(name))
        m_saved.insert(name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray());
    qputenv(name, value.toUtf8());
}

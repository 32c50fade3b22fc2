#include "TemporaryHome.h"

#include <QDir>
#include <QSettings>

using namespace Qt::Literals::StringLiterals;

TemporaryHome::TemporaryHome()
{
    setVariable("HOME", path());
    setVariable("XDG_CONFIG_HOME", filePath(u".config"_s));
    setVariable("XDG_DATA_HOME", filePath(u".local/share"_s));
    setVariable("XDG_CACHE_HOME", filePath(u".cache"_s));
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

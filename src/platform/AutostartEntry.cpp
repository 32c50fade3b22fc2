#include "AutostartEntry.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

QString AutostartEntry::path()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u"/autostart/tessary.desktop"_s;
}

bool AutostartEntry::install(const QString &executablePath)
{
    if (QFileInfo::exists(path()))
        return true;
    QDir().mkpath(QFileInfo(path()).path());
    // The Exec key quotes the path: the characters special inside quotes get a backslash, and
    // every backslash is doubled once more because the key is an escaped string.
    QString quoted = executablePath;
    quoted.replace(u'\\', u"\\\\\\\\"_s).replace(u'"', u"\\\\\""_s).replace(u'`', u"\\\\`"_s).replace(u'$', u"\\\\$"_s);
    const QString entry = u"[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Tessary\n"
                          "Comment=Zip, protect and deliver files with a drop\n"
                          "Exec=\"%1\"\n"
                          "Icon=tessary\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n"_s.arg(quoted);
    QSaveFile file(path());
    return file.open(QIODevice::WriteOnly) && file.write(entry.toUtf8()) >= 0 && file.commit();
}

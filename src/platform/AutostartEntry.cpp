#include "AutostartEntry.h"

#include "DesktopEntryText.h"

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
    const QString entry = u"[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Tessary\n"
                          "Comment=Zip, protect and deliver files with a drop\n"
                          "Exec=%1\n"
                          "Icon=tessary\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n"_s.arg(DesktopEntryText::command({executablePath}));
    QSaveFile file(path());
    return file.open(QIODevice::WriteOnly) && file.write(entry.toUtf8()) >= 0 && file.commit();
}

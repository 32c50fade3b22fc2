#include "DropboxManager.h"

#include "settings/SettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kDropboxFolderPathKey = u"DropboxFolderPath"_s;
}

DropboxManager::DropboxManager()
{
    setDefaultDropboxFolderPath();
}

void DropboxManager::setDefaultDropboxFolderPath()
{
    const QString remembered = SettingsFile().value(kDropboxFolderPathKey).toString();
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir()) {
        setDropboxFolderPath(remembered);
        return;
    }
    const QString standard = QDir::homePath() + u"/Dropbox"_s;
    if (QFileInfo(standard).isDir())
        setDropboxFolderPath(standard);
}

void DropboxManager::setDropboxFolderPath(const QString &path)
{
    m_dropboxFolderPath = path;
    SettingsFile settings;
    if (settings.value(kDropboxFolderPathKey).toString() != path)
        settings.setValue(kDropboxFolderPathKey, path);
}

bool DropboxManager::isDropboxInstalled()
{
    return !QStandardPaths::findExecutable(u"dropbox"_s).isEmpty()
        || QFileInfo(QDir::homePath() + u"/.dropbox-dist"_s).isDir();
}

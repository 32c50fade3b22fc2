#include "Utilities.h"

#include "FileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QUuid>

#include <cerrno>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

void Utilities::writeToStandardError(const QString &title, const QString &message)
{
    QTextStream error(stderr);
    if (!title.isEmpty())
        error << title << ": ";
    error << message << Qt::endl;
}

Error Utilities::errorWithCode(qint64 code, const QString &description)
{
    return Error(
        Error::TessaryDomain, code, {{Error::DescriptionKey, description}, {Error::FailureReasonKey, description}});
}

QString Utilities::availableFileName(
    const QString &fileName, const QString &folderPath, bool *changed, const QSet<QString> &reservedPaths)
{
    const QDir folder(folderPath);
    const QString name = availableFileName(fileName, [&](const QString &candidate) {
        const QString path = folder.filePath(candidate);
        return fileExistsAtPath(path) || fileExistsAtPath(claimPath(path)) || reservedPaths.contains(path);
    });
    if (changed != nullptr)
        *changed = name != fileName;
    return name;
}

QString Utilities::availableFileName(const QString &fileName, const std::function<bool(const QString &name)> &taken)
{
    const QString base = stringByDeletingPathExtension(fileName);
    const QString extension = pathExtension(fileName);
    const QString suffix = extension.isEmpty() ? QString() : u"."_s + extension;
    QString candidate = base + suffix;
    for (qint64 counter = 2; taken(candidate); ++counter)
        candidate = u"%1 #%2%3"_s.arg(base, QString::number(counter), suffix);
    return candidate;
}

QString Utilities::claimAvailableFileName(
    const QString &fileName, const QString &folderPath, const QSet<QString> &reservedPaths)
{
    QSet<QString> taken = reservedPaths;
    for (;;) {
        const QString name = availableFileName(fileName, folderPath, nullptr, taken);
        const QString path = QDir(folderPath).filePath(name);
        const int fd
            = ::open(FileNames::encode(claimPath(path)).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST)
            return name;
        taken.insert(path); // taken by someone else since it was found free
    }
}

QString Utilities::claimPath(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return path.left(slash + 1) + u'.' + path.mid(slash + 1) + u".tessary-claim"_s;
}

bool Utilities::fileExistsAtPath(const QString &path)
{
    struct stat status
    {
    };
    return !path.isEmpty() && ::lstat(FileNames::encode(path).constData(), &status) == 0;
}

QString Utilities::backupsFolderPathWithCreate(bool create)
{
    const QString path = QDir::homePath() + u"/Backups"_s;
    if (create)
        QDir().mkpath(path);
    return path;
}

QString Utilities::filePathForSystemFolderWithID(QStandardPaths::StandardLocation folder)
{
    switch (folder) {
    case QStandardPaths::ApplicationsLocation:
        // The system's own applications, not the user's private folder of them.
        return u"/usr/share/applications"_s;
    case QStandardPaths::DesktopLocation: {
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        return QFileInfo(desktop).isDir() ? desktop : QDir::homePath();
    }
    default: {
        const QString path = QStandardPaths::writableLocation(folder);
        return path.isEmpty() ? QString() : path;
    }
    }
}

void Utilities::removeEntriesCreatedBefore(const QString &folderPath, const QDateTime &limit)
{
    const QFileInfoList entries
        = QDir(folderPath).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries) {
        // The entry's own times: a link's, not those of what it points to.
        struct stat status
        {
        };
        if (::lstat(QFile::encodeName(entry.filePath()).constData(), &status) != 0)
            continue;
        const QDateTime modified = QDateTime::fromSecsSinceEpoch(status.st_mtim.tv_sec);
        const QDateTime born = entry.isSymLink() ? QDateTime() : entry.fileTime(QFileDevice::FileBirthTime);
        const QDateTime created = born.isValid() && born < modified ? born : modified;
        if (created >= limit)
            continue;
        // A folder's removal does not follow the links inside it either.
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
}

void Utilities::ensureDirectoriesExistForFileAtPath(const QString &filePath)
{
    QDir().mkpath(QFileInfo(filePath).absolutePath());
}

QString Utilities::nameOfFileSystemItemAtPath(const QString &path)
{
    return stringByDeletingPathExtension(QFileInfo(path).fileName());
}

QString Utilities::fileNameFromFullPath(const QString &path, bool keepExtension)
{
    QString name = QFileInfo(path).fileName();
    if (!keepExtension)
        name = stringByDeletingPathExtension(name);
    return name.replace(u"%20"_s, u" "_s);
}

QString Utilities::stringByDeletingPathExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}

QString Utilities::pathExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.mid(dot + 1) : QString();
}

QStringList Utilities::recipientsStringToRecipientsArray(const QString &recipients)
{
    QString compact = recipients;
    compact.remove(u' ');
    return compact.split(u',', Qt::SkipEmptyParts);
}

QString Utilities::recipientsArrayToRecipientsString(const QStringList &recipients)
{
    const QString joined = recipients.join(u", "_s);
    return joined.isNull() ? u""_s : joined;
}

QRectF Utilities::centeredRect(const QRectF &rect, const QRectF &outer)
{
    return QRectF(outer.x() + (outer.width() - rect.width()) / 2.0, outer.y() + (outer.height() - rect.height()) / 2.0,
        rect.width(), rect.height());
}

QString Utilities::fullUserName()
{
    if (const passwd *entry = ::getpwuid(::getuid())) {
        const QString fullName = QString::fromLocal8Bit(entry->pw_gecos).section(u',', 0, 0).trimmed();
        if (!fullName.isEmpty())
            return fullName;
        return QString::fromLocal8Bit(entry->pw_name);
    }
    return qEnvironmentVariable("USER");
}

QString Utilities::loginName()
{
    if (const passwd *entry = ::getpwuid(::getuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER");
}

QString Utilities::generateUUID()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

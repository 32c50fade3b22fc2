#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Reads archives back with the real unzip: what a recipient of the archive would get.
class ArchiveReader final
{
public:
    /// Extracts the archive into a fresh folder; false when unzip fails (a wrong password, a
    /// damaged archive).
    bool extract(const QString &archivePath, const QString &password = {});
    /// The extracted folder.
    QString path() const { return m_dir.path(); }
    /// Every extracted entry, relative, folders with a trailing "/", mapped to its content (a
    /// link to "-> TARGET", a folder to an empty text).
    QMap<QString, QByteArray> entries() const;

    /// The entry names of the archive as `unzip -Z1` lists them.
    static QStringList listEntries(const QString &archivePath);
    /// The entry names exactly as stored, byte for byte (unzip shows and extracts a line break
    /// in a name as something else, so these are read with Python's zipfile module).
    static QList<QByteArray> storedNames(const QString &archivePath);
    /// The content of every file in the archive, one after the other, as `unzip -p` prints it.
    static QByteArray printedContent(const QString &archivePath, const QString &password = {});
    /// 7-Zip's account of every entry, in order: its lines with the keys given ("KEY = VALUE"),
    /// as `7zz l -slt` prints them with the password (7-Zip also reads what unzip cannot: AES).
    static QStringList sevenZipDetails(const QString &archivePath, const QString &password, const QStringList &keys);
    /// The same description of a folder on disk, for comparing a source tree with what came out.
    static QMap<QString, QByteArray> describeTree(const QString &folder, const QString &prefix = {});

private:
    QTemporaryDir m_dir;
};

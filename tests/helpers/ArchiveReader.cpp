#include "ArchiveReader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {
// The text of a symbolic link as stored, not resolved.
QByteArray linkText(const QString &path)
{
    QByteArray target(4096, Qt::Uninitialized);
    const ssize_t length = ::readlink(QFile::encodeName(path).constData(), target.data(), target.size());
    return length < 0 ? QByteArray() : target.left(length);
}

// Without -P, unzip would ask on the terminal for the password of an encrypted entry; a
// password that no test uses makes it fail instead.
QString passwordArgument(const QString &password)
{
    return password.isEmpty() ? u"no password given"_s : password;
}

QByteArray runUnzip(const QStringList &arguments)
{
    QProcess unzip;
    unzip.setStandardInputFile(QProcess::nullDevice());
    unzip.start(u"/usr/bin/unzip"_s, arguments);
    unzip.waitForFinished(60000);
    return unzip.readAllStandardOutput();
}
} // namespace

bool ArchiveReader::extract(const QString &archivePath, const QString &password)
{
    const QStringList arguments {
        u"-q"_s, u"-o"_s, u"-P"_s, passwordArgument(password), archivePath, u"-d"_s, m_dir.path()};
    QProcess unzip;
    unzip.setStandardInputFile(QProcess::nullDevice());
    unzip.start(u"/usr/bin/unzip"_s, arguments);
    return unzip.waitForFinished(60000) && unzip.exitStatus() == QProcess::NormalExit && unzip.exitCode() == 0;
}

QMap<QString, QByteArray> ArchiveReader::entries() const
{
    return describeTree(m_dir.path());
}

QStringList ArchiveReader::listEntries(const QString &archivePath)
{
    return QString::fromUtf8(runUnzip({u"-Z1"_s, archivePath})).split(u'\n', Qt::SkipEmptyParts);
}

QStringList ArchiveReader::sevenZipDetails(const QString &archivePath, const QString &password, const QStringList &keys)
{
    QProcess sevenZip;
    sevenZip.setStandardInputFile(QProcess::nullDevice());
    sevenZip.start(u"7zz"_s, {u"l"_s, u"-slt"_s, u"-p"_s + password, archivePath});
    sevenZip.waitForFinished(60000);
    const QByteArray output = sevenZip.readAllStandardOutput();
    QStringList lines;
    // The entries follow the archive's own details, after a line of dashes.
    for (const QByteArray &line : output.mid(output.indexOf("\n----------\n")).split('\n'))
        for (const QString &key : keys)
            if (line.startsWith(QByteArray(key.toUtf8() + " = ")))
                lines << QString::fromUtf8(line);
    return lines;
}

QList<QByteArray> ArchiveReader::storedNames(const QString &archivePath)
{
    // zipfile decodes names without the UTF-8 flag as code page 437; encoding them back gives
    // the stored bytes.
    static const QString script = uR"(import sys, zipfile
for info in zipfile.ZipFile(sys.argv[1]).infolist():
    print(info.filename.encode('utf-8' if info.flag_bits & 0x800 else 'cp437').hex()))"_s;
    QProcess python;
    python.start(u"/usr/bin/python3"_s, {u"-c"_s, script, archivePath});
    python.waitForFinished(60000);
    QList<QByteArray> names;
    for (const QByteArray &line : python.readAllStandardOutput().split('\n'))
        if (!line.isEmpty())
            names << QByteArray::fromHex(line);
    return names;
}

QByteArray ArchiveReader::printedContent(const QString &archivePath, const QString &password)
{
    return runUnzip({u"-p"_s, u"-P"_s, passwordArgument(password), archivePath});
}

QMap<QString, QByteArray> ArchiveReader::describeTree(const QString &folder, const QString &prefix)
{
    QMap<QString, QByteArray> tree;
    const QDir root(folder);
    QDirIterator it(
        folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString name = prefix + root.relativeFilePath(path);
        if (info.isSymLink()) {
            tree.insert(name, "-> " + linkText(path));
        } else if (info.isDir()) {
            tree.insert(name + u'/', QByteArray());
        } else {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            tree.insert(name, file.readAll());
        }
    }
    return tree;
}

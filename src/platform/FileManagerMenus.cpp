#include "FileManagerMenus.h"

#include "DesktopEntryText.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

const QString FileManagerMenus::SendTitle = u"Send with Tessary"_s;
const QString FileManagerMenus::ZipTitle = u"Zip with Tessary…"_s;

namespace {
constexpr QFileDevice::Permissions kExecutable = QFileDevice::ReadOwner | QFileDevice::WriteOwner
    | QFileDevice::ExeOwner | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
    | QFileDevice::ExeOther;
const QString kNemoPrefix = u"tessary-"_s;

QString dataPath(const QString &relative)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u'/' + relative;
}

bool writeFile(const QString &path, const QString &text, bool executable)
{
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0
        && (!executable || file.setPermissions(kExecutable)) && file.commit();
}

// A word for the shell: in single quotes, a single quote closing them, escaped, and opening them
// again.
QString shellWord(const QString &word)
{
    QString quoted = word;
    return u"'"_s + quoted.replace(u'\'', u"'\\''"_s) + u"'"_s;
}

// A script that runs the program with the arguments and the files selected, which the file
// manager gives it as its own arguments.
QString script(const QStringList &command)
{
    QStringList words;
    for (const QString &word : command)
        words << shellWord(word);
    return u"#!/bin/sh\n# Written by Tessary, which rewrites it whenever its Destinations change.\nexec %1 -- \"$@\"\n"_s
        .arg(words.join(u' '));
}

// A Destination's name as a file name: a slash cannot be in one, and a line is all a menu shows.
QString scriptName(const QString &name)
{
    QString fileName = name;
    return fileName.replace(u'/', u'∕').replace(u'\n', u' ').replace(u'\r', u' ');
}

// The scripts of Nautilus or Caja: the submenu is a folder with a script for each Destination.
bool writeScripts(const QString &folder, const QString &program, const QStringList &destinationNames)
{
    const QString send = folder + u'/' + FileManagerMenus::SendTitle;
    QDir(send).removeRecursively();
    bool written = QDir().mkpath(send);
    QSet<QString> taken;
    for (const QString &name : destinationNames) {
        const QString fileName = scriptName(name);
        if (fileName.isEmpty() || taken.contains(fileName))
            continue; // the command line finds the first of a name anyway
        taken.insert(fileName);
        written = writeFile(send + u'/' + fileName, script({program, u"--destination"_s, name}), true) && written;
    }
    return writeFile(folder + u'/' + FileManagerMenus::ZipTitle, script({program}), true) && written;
}

void removeScripts(const QString &folder)
{
    QDir(folder + u'/' + FileManagerMenus::SendTitle).removeRecursively();
    QFile::remove(folder + u'/' + FileManagerMenus::ZipTitle);
}

QString dolphinSend(const QString &program, const QStringList &destinationNames)
{
    QString actions;
    QString entries;
    for (qsizetype i = 0; i < destinationNames.size(); ++i) {
        actions += u"destination%1;"_s.arg(i);
        entries += u"\n[Desktop Action destination%1]\nName=%2\nIcon=tessary\nExec=%3\n"_s.arg(i).arg(
            DesktopEntryText::value(destinationNames.at(i)),
            DesktopEntryText::command({program, u"--destination"_s, destinationNames.at(i), u"--"_s}, u"%F"_s));
    }
    return u"[Desktop Entry]\nType=Service\nMimeType=all/all;\nX-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
           "X-KDE-Submenu=%1\nActions=%2\n"_s.arg(FileManagerMenus::SendTitle, actions)
        + entries;
}

QString dolphinZip(const QString &program)
{
    return u"[Desktop Entry]\nType=Service\nMimeType=all/all;\nX-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
           "Actions=zip;\n\n[Desktop Action zip]\nName=%1\nIcon=tessary\nExec=%2\n"_s.arg(
               FileManagerMenus::ZipTitle, DesktopEntryText::command({program, u"--"_s}, u"%F"_s));
}

// Nemo shows its actions in a flat list, each with its own title; its Exec is read as a shell
// command once %F has been replaced by the files.
QString nemoAction(const QString &title, const QStringList &command)
{
    QStringList words;
    for (const QString &word : command)
        words << shellWord(word).replace(u'%', u"%%"_s);
    return u"[Nemo Action]\nName=%1\nIcon-Name=tessary\nExec=%2 -- %F\nSelection=notnone\nExtensions=any;\n"_s.arg(
        DesktopEntryText::value(title), words.join(u' '));
}

void removeNemoActions()
{
    const QDir folder(FileManagerMenus::nemoActionsPath());
    const QStringList ours = folder.entryList({kNemoPrefix + u"*.nemo_action"_s}, QDir::Files);
    for (const QString &action : ours)
        QFile::remove(folder.filePath(action));
}
} // namespace

QString FileManagerMenus::dolphinSendPath()
{
    return dataPath(u"kio/servicemenus/tessary-send.desktop"_s);
}

QString FileManagerMenus::dolphinZipPath()
{
    return dataPath(u"kio/servicemenus/tessary-zip.desktop"_s);
}

QString FileManagerMenus::nautilusScriptsPath()
{
    return dataPath(u"nautilus/scripts"_s);
}

QString FileManagerMenus::cajaScriptsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u"/caja/scripts"_s;
}

QString FileManagerMenus::nemoActionsPath()
{
    return dataPath(u"nemo/actions"_s);
}

bool FileManagerMenus::write(const QString &program, const QStringList &destinationNames)
{
    // Plasma runs only the service menus that are executable.
    bool written = writeFile(dolphinSendPath(), dolphinSend(program, destinationNames), true);
    written = writeFile(dolphinZipPath(), dolphinZip(program), true) && written;
    written = writeScripts(nautilusScriptsPath(), program, destinationNames) && written;
    written = writeScripts(cajaScriptsPath(), program, destinationNames) && written;
    removeNemoActions();
    for (qsizetype i = 0; i < destinationNames.size(); ++i) {
        const QString action = nemoAction(
            SendTitle + u": "_s + destinationNames.at(i), {program, u"--destination"_s, destinationNames.at(i)});
        written = writeFile(u"%1/%2send-%3.nemo_action"_s.arg(nemoActionsPath(), kNemoPrefix).arg(i), action, false)
            && written;
    }
    return writeFile(
               nemoActionsPath() + u'/' + kNemoPrefix + u"zip.nemo_action"_s, nemoAction(ZipTitle, {program}), false)
        && written;
}

void FileManagerMenus::remove()
{
    QFile::remove(dolphinSendPath());
    QFile::remove(dolphinZipPath());
    removeScripts(nautilusScriptsPath());
    removeScripts(cajaScriptsPath());
    removeNemoActions();
}

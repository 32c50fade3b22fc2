#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Small file chores of the tests.

/// The whole content of the file; empty when it cannot be read.
QByteArray readFile(const QString &path);
/// Writes the content to the file, creating its folders first; false on failure.
bool writeFile(const QString &path, const QByteArray &content);
/// Everything in the folder, hidden entries and broken links too, by name; empty when it is gone.
QStringList entriesIn(const QString &folder);
/// The command lines (arguments joined by blanks) of the processes of this machine that contain
/// the text, as any local user can read them in /proc.
QStringList processesWhoseCommandLineHas(const QString &text);
/// Writes that many megabytes of random bytes, which zip cannot shrink; false on failure.
bool writeRandomFile(const QString &path, int megabytes);

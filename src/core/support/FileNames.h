#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

// File names on Linux are bytes, and not all of them are UTF-8; read as UTF-8 (as Qt reads them)
// such a name loses its odd bytes and no longer names the file. These functions keep every byte:
// a byte that is not part of valid UTF-8 becomes a lone surrogate (U+DC80 + the byte's low bits)
// in the text and turns back into the same byte. Valid UTF-8 reads and writes as usual.
namespace FileNames {

QString decode(const QByteArray &bytes);
QByteArray encode(const QString &name);

/// The local path of a file URL, with every byte of it kept.
QString localPath(const QUrl &url);
/// The file URL of a local path, with every byte of it kept.
QUrl fileURL(const QString &path);

/// The names in the folder (name, relative to the open folder, or AT_FDCWD), in the order the
/// system lists them, which is the order zip takes them in; nullopt, with errno set, when it
/// cannot be listed (a link is not followed). The listing is closed before it returns, so that
/// a walk down a deep tree never holds many open at once.
std::optional<QList<QByteArray>> namesIn(int folder, const QByteArray &name);

} // namespace FileNames

#pragma once

#include <QList>
#include <QUrl>

class QMimeData;

// The files a file manager copied to the clipboard: the list of URLs most of them put there, or
// GNOME's own format ("copy" or "cut", then a URL a line). Only local files count.
namespace CopiedFiles {
/// The local files in the data; none when it holds no files.
QList<QUrl> in(const QMimeData *data);
/// The local files on the clipboard now.
QList<QUrl> onClipboard();
} // namespace CopiedFiles

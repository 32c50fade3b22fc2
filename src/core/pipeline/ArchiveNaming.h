#pragma once

#include <QList>
#include <QString>
#include <QUrl>

// The names an archive gets without the user typing one, and the items of a drag that can be
// zipped.
class ArchiveNaming final
{
public:
    /// The name of last resort: "Tessary Archive".
    static QString tessaryArchiveName();
    /// The first item's name without its extension, with " and More" for several items;
    /// "Tessary Archive" when that leaves nothing.
    static QString derivedNameFromURLs(const QList<QUrl> &urls);
    /// The file name of an archive called so: ".zip" in place of the name's extension, "/" as "-";
    /// a name that would lead out of its folder, or none, is "Tessary Archive".
    static QString archiveFileName(const QString &name);
    /// The file URLs among the URLs of a drag; anything else (a web link) contributes nothing.
    static QList<QUrl> getsFileURLSFromDragOperation(const QList<QUrl> &dragOperation);
};

#include "ArchiveNaming.h"

#include "core/support/Utilities.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

QString ArchiveNaming::tessaryArchiveName()
{
    return u"Tessary Archive"_s;
}

QString ArchiveNaming::derivedNameFromURLs(const QList<QUrl> &urls)
{
    if (urls.isEmpty())
        return tessaryArchiveName();
    QString name = Utilities::stringByDeletingPathExtension(QFileInfo(urls.first().toLocalFile()).fileName());
    if (urls.size() >= 2)
        name += u" and More"_s;
    return name.isEmpty() ? tessaryArchiveName() : name;
}

QList<QUrl> ArchiveNaming::getsFileURLSFromDragOperation(const QList<QUrl> &dragOperation)
{
    QList<QUrl> files;
    for (const QUrl &url : dragOperation)
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            files << url;
    return files;
}

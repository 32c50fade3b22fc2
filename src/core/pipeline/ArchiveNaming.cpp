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

QString ArchiveNaming::archiveFileName(const QString &name)
{
    QString fileName = name;
    fileName.replace(u'/', u'-').remove(QChar(0));
    if (fileName == u"."_s || fileName == u".."_s || fileName.isEmpty())
        fileName = tessaryArchiveName();
    return Utilities::stringByDeletingPathExtension(fileName) + u".zip"_s;
}

QList<QUrl> ArchiveNaming::getsFileURLSFromDragOperation(const QList<QUrl> &dragOperation)
{
    QList<QUrl> files;
    for (const QUrl &url : dragOperation)
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            files << url;
    return files;
}

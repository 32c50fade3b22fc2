#include "CopiedFiles.h"

#include "core/pipeline/ArchiveNaming.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kGnomeCopiedFiles = u"x-special/gnome-copied-files"_s;
} // namespace

QList<QUrl> CopiedFiles::in(const QMimeData *data)
{
    if (data == nullptr)
        return {};
    QList<QUrl> urls = data->urls();
    if (urls.isEmpty() && data->hasFormat(kGnomeCopiedFiles)) {
        const QList<QByteArray> lines = data->data(kGnomeCopiedFiles).split('\n');
        for (const QByteArray &line : lines.mid(1)) // after "copy" or "cut"
            if (!line.trimmed().isEmpty())
                urls << QUrl::fromEncoded(line.trimmed());
    }
    return ArchiveNaming::getsFileURLSFromDragOperation(urls);
}

QList<QUrl> CopiedFiles::onClipboard()
{
    return in(QGuiApplication::clipboard()->mimeData());
}

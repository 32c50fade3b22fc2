#include "BenchSupport.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

using namespace Qt::Literals::StringLiterals;

void Bench::buildMixedTree(const QString &root, qint64 totalBytes)
{
    QRandomGenerator random(20261206);
    const qint64 averageSize = totalBytes / (TreeFolders * TreeFilesPerFolder);
    const QByteArray text = QByteArray("The quick brown fox jumps over the lazy dog. 0123456789\n").repeated(4096);
    for (int f = 0; f < TreeFolders; ++f) {
        const QString folder = u"%1/folder %2/sub"_s.arg(root).arg(f);
        QDir().mkpath(folder);
        for (int i = 0; i < TreeFilesPerFolder; ++i) {
            const qint64 size = averageSize / 2 + static_cast<qint64>(random.bounded(static_cast<int>(averageSize)));
            QByteArray data;
            QString suffix;
            switch ((f * TreeFilesPerFolder + i) % 4) {
            case 0:
            case 1:
                data.resize(size);
                random.fillRange(reinterpret_cast<quint32 *>(data.data()), size / 4);
                suffix = (f * TreeFilesPerFolder + i) % 4 == 0 ? u"bin"_s : u"jpg"_s;
                break;
            case 2:
                data = text.left(size);
                suffix = u"txt"_s;
                break;
            default:
                data = QByteArray(size, '\0');
                suffix = u"dat"_s;
            }
            QFile file(u"%1/file-%2.%3"_s.arg(folder).arg(i).arg(suffix));
            file.open(QIODevice::WriteOnly);
            file.write(data);
        }
    }
}

double Bench::median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

#pragma once

#include <QList>
#include <QString>

// What the benchmarks share: the tree they zip and how they sum up their runs.
namespace Bench {

// A tree of about 2,000 files and the given size in nested folders, the same for every seed: a
// quarter each of random bytes (".bin"), photos that are compressed already (".jpg", random
// too), repetitive text (".txt") and zeros (".dat"), in files of varied size.
constexpr int TreeFolders = 40;
constexpr int TreeFilesPerFolder = 50;
/// The folders are "ROOT/folder N/sub".
void buildMixedTree(const QString &root, qint64 totalBytes);

double median(QList<double> values);

} // namespace Bench

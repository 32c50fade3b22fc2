#include "ZipMerger.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <vector>

#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr quint32 kCentralHeaderSignature = 0x02014b50;
constexpr quint32 kEndSignature = 0x06054b50;
constexpr quint32 kZip64EndSignature = 0x06064b50;
constexpr quint32 kZip64LocatorSignature = 0x07064b50;
constexpr quint16 kZip64ExtraId = 0x0001;
constexpr quint16 kZip64Version = 45;
constexpr qint64 kCentralHeaderSize = 46;
constexpr qint64 kLocalHeaderSize = 30;
constexpr qint64 kEndSize = 22;
constexpr qint64 kZip64EndSize = 56;
constexpr qint64 kZip64LocatorSize = 20;
constexpr qint64 kMaximumCommentSize = 0xFFFF;
// A field at its largest value means "see the zip64 record or extra field".
constexpr quint16 k16BitMarker = 0xFFFF;
constexpr quint32 k32BitMarker = 0xFFFFFFFF;
// Central directories are read whole; beyond this a part is refused rather than held in memory.
constexpr qint64 kMaximumDirectorySize = qint64(256) << 20;
constexpr qint64 kBlockSize = qint64(1) << 20;
const QString kCancelled = u"The archive was cancelled before it was finished."_s;

// Where a part's central directory is. Its local region, every local header and the data, is
// everything before it.
struct Directory
{
    qint64 entries = 0;
    qint64 offset = 0;
    qint64 size = 0;
};

struct Part
{
    QString name;
    std::unique_ptr<QFile> file;
    Directory directory;
};

// The values of a central record that its zip64 extra field may hold, in the field's order (but
// the disk, always the first of one-disk archives).
struct Zip64Values
{
    quint64 uncompressedSize = 0;
    quint64 compressedSize = 0;
    quint64 offset = 0;
};

template <typename T> T read(const char *at)
{
    return qFromLittleEndian<T>(at);
}

// Appends the values in little-endian order, each as wide as its type.
template <typename... T> void append(QByteArray &bytes, T... values)
{
    const auto appendOne = [&bytes](auto value) {
        const auto little = qToLittleEndian(value);
        bytes.append(reinterpret_cast<const char *>(&little), sizeof(little));
    };
    (appendOne(values), ...);
}

QString unreadable(const QString &name)
{
    return u"The temporary archive \"%1\" could not be read."_s.arg(name);
}
QString damaged(const QString &name)
{
    return u"The temporary archive \"%1\" is damaged."_s.arg(name);
}

QString writeFailure(const QString &outputPath, const QString &reason)
{
    return u"The archive could not be written in the folder \"%1\" (%2)."_s.arg(QFileInfo(outputPath).path(), reason);
}

// The bytes [at, at + size) of the file; nullopt when they cannot all be read.
std::optional<QByteArray> readAt(QFile &file, qint64 at, qint64 size)
{
    if (!file.seek(at))
        return std::nullopt;
    QByteArray bytes = file.read(size);
    return bytes.size() == size ? std::optional(bytes) : std::nullopt;
}

// Replaces the end record's counts with those of the zip64 end record that the locator before
// it points at; false when they are not sound. recordsStart becomes where that record begins.
bool readZip64End(QFile &file, qint64 locatorAt, Directory &directory, qint64 &recordsStart)
{
    const auto locator = readAt(file, locatorAt, kZip64LocatorSize);
    if (!locator || read<quint32>(locator->constData() + 4) != 0)
        return false;
    const quint64 recordAt = read<quint64>(locator->constData() + 8);
    if (recordAt > quint64(locatorAt - kZip64EndSize))
        return false;
    const auto record = readAt(file, qint64(recordAt), kZip64EndSize);
    if (!record)
        return false;
    const char *end = record->constData();
    const quint64 entries = read<quint64>(end + 32);
    const quint64 size = read<quint64>(end + 40);
    const quint64 offset = read<quint64>(end + 48);
    if (read<quint32>(end) != kZip64EndSignature || read<quint32>(end + 16) != 0 || read<quint32>(end + 20) != 0
        || read<quint64>(end + 24) != entries || entries > recordAt || size > recordAt || offset > recordAt)
        return false;
    directory = {qint64(entries), qint64(offset), qint64(size)};
    recordsStart = qint64(recordAt);
    return true;
}

// Finds the part's central directory from the end records, and checks that it lies inside the
// part and has room for its entries.
QString findDirectory(Part &part)
{
    QFile &file = *part.file;
    const qint64 fileSize = file.size();
    const qint64 tailSize = std::min(fileSize, kEndSize + kMaximumCommentSize);
    const auto tail = readAt(file, fileSize - tailSize, tailSize);
    if (!tail)
        return unreadable(part.name);
    // The last end record whose comment reaches exactly to the end of the part.
    qint64 at = tailSize - kEndSize;
    for (; at >= 0; --at) {
        const char *candidate = tail->constData() + at;
        if (read<quint32>(candidate) == kEndSignature && at + kEndSize + read<quint16>(candidate + 20) == tailSize)
            break;
    }
    if (at < 0)
        return damaged(part.name);

    const char *end = tail->constData() + at;
    if (read<quint16>(end + 4) != 0 || read<quint16>(end + 6) != 0 || read<quint16>(end + 8) != read<quint16>(end + 10))
        return damaged(part.name);
    Directory directory {read<quint16>(end + 10), read<quint32>(end + 16), read<quint32>(end + 12)};
    qint64 recordsStart = fileSize - tailSize + at;
    const qint64 locatorAt = recordsStart - kZip64LocatorSize;
    if (locatorAt >= kZip64EndSize) {
        const auto signature = readAt(file, locatorAt, 4);
        if (signature && read<quint32>(signature->constData()) == kZip64LocatorSignature
            && !readZip64End(file, locatorAt, directory, recordsStart))
            return damaged(part.name);
    }

    if (directory.size > recordsStart || directory.offset > recordsStart - directory.size)
        return damaged(part.name);
    if (directory.size > kMaximumDirectorySize)
        return u"The temporary archive \"%1\" has too many entries to be joined."_s.arg(part.name);
    if (directory.entries > directory.size / kCentralHeaderSize)
        return damaged(part.name);
    part.directory = directory;
    return {};
}

// Reads the zip64 extra field's data: the values whose fixed field holds the marker.
bool readZip64Extra(QByteArrayView data, Zip64Values &values)
{
    for (quint64 *value : {&values.uncompressedSize, &values.compressedSize, &values.offset}) {
        if (*value != k32BitMarker)
            continue;
        if (data.size() < 8)
            return false;
        *value = read<quint64>(data.data());
        data = data.sliced(8);
    }
    return true;
}

// Splits a record's extra fields into the zip64 values and every other field, kept as it is.
bool readExtraFields(QByteArrayView extra, Zip64Values &values, QByteArray &others)
{
    while (!extra.isEmpty()) {
        if (extra.size() < 4 || extra.size() < 4 + read<quint16>(extra.data() + 2))
            return false;
        const qint64 fieldSize = 4 + read<quint16>(extra.data() + 2);
        if (read<quint16>(extra.data()) != kZip64ExtraId)
            others.append(extra.first(fieldSize));
        else if (!readZip64Extra(extra.sliced(4, fieldSize - 4), values))
            return false;
        extra = extra.sliced(fieldSize);
    }
    return true;
}

// Appends the central record at the start of the bytes to out, its local header moved base bytes
// further; length becomes the record's length in the part. False when the record is malformed or
// its local header is not inside the part's local region.
bool appendMovedRecord(QByteArrayView bytes, qint64 base, qint64 regionSize, qint64 &length, QByteArray &out)
{
    if (bytes.size() < kCentralHeaderSize || read<quint32>(bytes.data()) != kCentralHeaderSignature)
        return false;
    const qint64 nameEnd = kCentralHeaderSize + read<quint16>(bytes.data() + 28);
    const qint64 extraSize = read<quint16>(bytes.data() + 30);
    length = nameEnd + extraSize + read<quint16>(bytes.data() + 32);
    if (bytes.size() < length || read<quint16>(bytes.data() + 34) != 0)
        return false;

    Zip64Values values {
        read<quint32>(bytes.data() + 24), read<quint32>(bytes.data() + 20), read<quint32>(bytes.data() + 42)};
    QByteArray others;
    if (!readExtraFields(bytes.sliced(nameEnd, extraSize), values, others)
        || values.offset + kLocalHeaderSize > quint64(regionSize))
        return false;

    // Sizes stay where the part had them; the offset goes to the extra field once it needs 64 bits.
    const quint64 offset = values.offset + quint64(base);
    QByteArray zip64;
    if (read<quint32>(bytes.data() + 24) == k32BitMarker)
        append(zip64, values.uncompressedSize);
    if (read<quint32>(bytes.data() + 20) == k32BitMarker)
        append(zip64, values.compressedSize);
    if (offset >= k32BitMarker)
        append(zip64, offset);
    const qint64 newExtraSize = (zip64.isEmpty() ? 0 : 4 + zip64.size()) + others.size();
    if (newExtraSize > 0xFFFF)
        return false;

    const qsizetype start = out.size();
    out.append(bytes.first(nameEnd));
    if (!zip64.isEmpty())
        append(out, kZip64ExtraId, quint16(zip64.size()));
    out.append(zip64);
    out.append(others);
    out.append(bytes.sliced(nameEnd + extraSize, length - nameEnd - extraSize));
    char *record = out.data() + start;
    if (!zip64.isEmpty())
        qToLittleEndian(std::max(read<quint16>(record + 6), kZip64Version), record + 6);
    qToLittleEndian(quint16(newExtraSize), record + 30);
    qToLittleEndian(quint32(std::min<quint64>(offset, k32BitMarker)), record + 42);
    return true;
}

// Copies the part's local region to the end of the output: in the kernel where the file systems
// allow it, through a buffer otherwise.
QString copyRegion(Part &part, QSaveFile &output, const std::atomic<bool> *cancelled)
{
    const QString outputPath = output.fileName();
    if (!output.flush())
        return writeFailure(outputPath, output.errorString());
    const qint64 start = output.pos();
    const qint64 size = part.directory.offset;
    bool inKernel = true;
    QByteArray buffer;
    for (qint64 done = 0; done < size;) {
        if (cancelled != nullptr && *cancelled)
            return kCancelled;
        const qint64 block = std::min(kBlockSize, size - done);
        if (inKernel) {
            off64_t from = done;
            off64_t to = start + done;
            const ssize_t copied
                = ::copy_file_range(part.file->handle(), &from, output.handle(), &to, size_t(block), 0);
            if (copied > 0) {
                done += copied;
                continue;
            }
            if (copied == 0)
                return unreadable(part.name);
            // Not between these files or file systems: the buffer does it.
            if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
                return writeFailure(outputPath, qt_error_string(errno));
            inKernel = false;
            if (!output.seek(start + done))
                return writeFailure(outputPath, output.errorString());
        }
        buffer.resize(block);
        if (!part.file->seek(done) || part.file->read(buffer.data(), block) != block)
            return unreadable(part.name);
        if (output.write(buffer) != block)
            return writeFailure(outputPath, output.errorString());
        done += block;
    }
    // The kernel wrote past the position the output knows.
    return output.seek(start + size) ? QString() : writeFailure(outputPath, output.errorString());
}

// Writes the part's central records, moved by base, to the output; adds their bytes to written.
QString writeDirectory(Part &part, qint64 base, QSaveFile &output, qint64 &written, const std::atomic<bool> *cancelled)
{
    const Directory &directory = part.directory;
    const auto records = readAt(*part.file, directory.offset, directory.size);
    if (!records)
        return unreadable(part.name);
    QByteArray moved;
    qint64 at = 0;
    for (qint64 entry = 0; entry < directory.entries; ++entry) {
        qint64 length = 0;
        if (!appendMovedRecord(QByteArrayView(*records).sliced(at), base, directory.offset, length, moved))
            return damaged(part.name);
        at += length;
        if (moved.size() >= kBlockSize || entry + 1 == directory.entries) {
            if (cancelled != nullptr && *cancelled)
                return kCancelled;
            if (output.write(moved) != moved.size())
                return writeFailure(output.fileName(), output.errorString());
            written += moved.size();
            moved.clear();
        }
    }
    return at == directory.size ? QString() : damaged(part.name);
}

// The records that end the archive: the zip64 ones first when a count, offset or size needs them.
QByteArray endRecords(qint64 entries, qint64 directoryOffset, qint64 directorySize)
{
    QByteArray end;
    if (entries >= k16BitMarker || directoryOffset >= k32BitMarker || directorySize >= k32BitMarker) {
        // The record's size leaves out its first 12 bytes; the locator counts one disk in all.
        append(end, kZip64EndSignature, quint64(kZip64EndSize - 12), kZip64Version, kZip64Version, quint32(0),
            quint32(0), quint64(entries), quint64(entries), quint64(directorySize), quint64(directoryOffset));
        append(end, kZip64LocatorSignature, quint32(0), quint64(directoryOffset + directorySize), quint32(1));
    }
    const auto entries16 = quint16(std::min<qint64>(entries, k16BitMarker));
    append(end, kEndSignature, quint16(0), quint16(0), entries16, entries16,
        quint32(std::min<qint64>(directorySize, k32BitMarker)),
        quint32(std::min<qint64>(directoryOffset, k32BitMarker)), quint16(0));
    return end;
}

QString join(const QStringList &partPaths, const QString &outputPath, const std::atomic<bool> *cancelled)
{
    // Every part is checked before anything is written.
    std::vector<Part> parts;
    for (const QString &path : partPaths) {
        Part part {QFileInfo(path).fileName(), std::make_unique<QFile>(path), {}};
        if (!part.file->open(QIODevice::ReadOnly))
            return unreadable(part.name);
        if (const QString failure = findDirectory(part); !failure.isEmpty())
            return failure;
        parts.push_back(std::move(part));
    }

    QSaveFile output(outputPath);
    if (!output.open(QIODevice::WriteOnly))
        return writeFailure(outputPath, output.errorString());
    qint64 directoryOffset = 0;
    for (Part &part : parts) {
        if (const QString failure = copyRegion(part, output, cancelled); !failure.isEmpty())
            return failure;
        directoryOffset += part.directory.offset;
    }
    qint64 base = 0;
    qint64 entries = 0;
    qint64 directorySize = 0;
    for (Part &part : parts) {
        if (const QString failure = writeDirectory(part, base, output, directorySize, cancelled); !failure.isEmpty())
            return failure;
        base += part.directory.offset;
        entries += part.directory.entries;
    }
    const QByteArray end = endRecords(entries, directoryOffset, directorySize);
    if (output.write(end) != end.size() || !output.commit())
        return writeFailure(outputPath, output.errorString());
    return {};
}
} // namespace

QString ZipMerger::merge(const QStringList &partPaths, const QString &outputPath, const std::atomic<bool> *cancelled)
{
    const QString failure = join(partPaths, outputPath, cancelled);
    // What is at the path, an earlier try, is not the archive asked for.
    if (!failure.isEmpty())
        QFile::remove(outputPath);
    return failure;
}

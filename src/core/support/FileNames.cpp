#include "FileNames.h"

#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at the start of the bytes; 0 when there is none.
int validSequenceLength(const unsigned char *bytes, qsizetype available)
{
    const unsigned char lead = bytes[0];
    int length = 0;
    char32_t lowest = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        lowest = 0x10000;
    } else {
        return 0;
    }
    if (available < length)
        return 0;
    char32_t code = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((bytes[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (bytes[i] & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < lowest || code > 0x10FFFF || surrogate ? 0 : length;
}

} // namespace

QString FileNames::decode(const QByteArray &bytes)
{
    QString name;
    name.reserve(bytes.size());
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    // Runs of valid UTF-8 are converted whole; each byte outside them stands for itself.
    qsizetype runStart = 0;
    for (qsizetype at = 0; at < bytes.size();) {
        if (const int length = validSequenceLength(data + at, bytes.size() - at); length > 0) {
            at += length;
            continue;
        }
        name += QString::fromUtf8(bytes.constData() + runStart, at - runStart);
        name += QChar(char16_t(kEscapeBase + data[at]));
        runStart = ++at;
    }
    name += QString::fromUtf8(bytes.constData() + runStart, bytes.size() - runStart);
    return name;
}

QByteArray FileNames::encode(const QString &name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype runStart = 0;
    const auto flushRun = [&](qsizetype end) {
        bytes += QStringView(name).mid(runStart, end - runStart).toUtf8();
        runStart = end + 1;
    };
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name.at(i).unicode();
        const bool escaped
            = unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF && (i == 0 || !name.at(i - 1).isHighSurrogate());
        if (escaped) {
            flushRun(i);
            bytes += char(unit - kEscapeBase);
        }
    }
    flushRun(name.size());
    return bytes;
}

QString FileNames::localPath(const QUrl &url)
{
    if (!url.isLocalFile())
        return {};
    return decode(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

QUrl FileNames::fileURL(const QString &path)
{
    return QUrl::fromEncoded("file://" + encode(path).toPercentEncoding("/"), QUrl::StrictMode);
}

std::optional<QList<QByteArray>> FileNames::namesIn(int folder, const QByteArray &name)
{
    const int opened = ::openat(folder, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (opened < 0)
        return std::nullopt;
    DIR *listing = ::fdopendir(opened);
    if (listing == nullptr) {
        const int error = errno;
        ::close(opened);
        errno = error;
        return std::nullopt;
    }
    QList<QByteArray> names;
    while (const dirent *item = ::readdir(listing)) {
        const QByteArray child(item->d_name);
        if (child != "." && child != "..")
            names << child;
    }
    ::closedir(listing);
    return names;
}

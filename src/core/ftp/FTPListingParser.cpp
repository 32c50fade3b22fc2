#include "FTPListingParser.h"

#include <QRegularExpression>
#include <QStringDecoder>

using namespace Qt::Literals::StringLiterals;

const QString FTPListingParser::NameKey = u"Name"_s;
const QString FTPListingParser::TypeKey = u"Type"_s;
const QString FTPListingParser::SizeKey = u"Size"_s;
const QString FTPListingParser::ModeKey = u"Mode"_s;
const QString FTPListingParser::LinkKey = u"Link"_s;
const QString FTPListingParser::ModDateKey = u"ModDate"_s;

namespace {

// The lines are read as Latin-1 so that every byte survives the matching; names are turned back
// into their bytes and read as UTF-8 afterwards.
const QRegularExpression kUnixLine(
    uR"(^([\-dlbcps])([rwxsStTlL\-]{9})[+@.]?\s+\d+\s+(?:\S+\s+){1,2}?(\d+)\s+(\w{3}\s+\d{1,2}\s+(?:\d{1,2}:\d{2}|\d{4}))\s(.+)$)"_s);
const QRegularExpression kDosLine(uR"(^(\d{2}-\d{2}-\d{2,4}\s+\d{1,2}:\d{2}(?:[AaPp][Mm])?)\s+(<DIR>|\d+)\s+(.+)$)"_s);
const QRegularExpression kTotalLine(uR"(^total\s+\d+$)"_s);

// The name as UTF-8, or nothing when its bytes are not UTF-8.
std::optional<QString> decodedName(const QString &latin1)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString name = decoder.decode(latin1.toLatin1());
    if (decoder.hasError())
        return std::nullopt;
    return name;
}

void setName(QVariantMap &entry, const QString &latin1)
{
    if (const auto name = decodedName(latin1))
        entry.insert(FTPListingParser::NameKey, *name);
}

} // namespace

std::optional<QList<QVariantMap>> FTPListingParser::parse(const QByteArray &listing)
{
    QList<QVariantMap> entries;
    bool skippedLines = false;
    const QList<QByteArray> lines = listing.split('\n');
    for (QByteArray raw : lines) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QString line = QString::fromLatin1(raw);
        if (line.trimmed().isEmpty() || kTotalLine.match(line).hasMatch())
            continue;

        QVariantMap entry;
        if (const QRegularExpressionMatch unixMatch = kUnixLine.match(line); unixMatch.hasMatch()) {
            const QChar kind = unixMatch.captured(1).front();
            QString name = unixMatch.captured(5);
            entry.insert(TypeKey, kind == u'd' ? u"folder"_s : kind == u'l' ? u"link"_s : u"file"_s);
            if (kind == u'l') {
                const qsizetype arrow = name.indexOf(u" -> "_s);
                if (arrow >= 0) {
                    if (const auto target = decodedName(name.mid(arrow + 4)))
                        entry.insert(LinkKey, *target);
                    name.truncate(arrow);
                }
            }
            entry.insert(ModeKey, unixMatch.captured(2));
            entry.insert(SizeKey, unixMatch.captured(3).toLongLong());
            entry.insert(ModDateKey, unixMatch.captured(4));
            setName(entry, name);
        } else if (const QRegularExpressionMatch dosMatch = kDosLine.match(line); dosMatch.hasMatch()) {
            const bool folder = dosMatch.captured(2) == u"<DIR>"_s;
            entry.insert(TypeKey, folder ? u"folder"_s : u"file"_s);
            entry.insert(SizeKey, folder ? 0 : dosMatch.captured(2).toLongLong());
            entry.insert(ModDateKey, dosMatch.captured(1));
            setName(entry, dosMatch.captured(3));
        } else {
            skippedLines = true;
            continue;
        }
        entries << entry;
    }
    if (skippedLines && entries.isEmpty())
        return std::nullopt;
    return entries;
}

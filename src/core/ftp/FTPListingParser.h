#pragma once

#include <QByteArray>
#include <QList>
#include <QVariantMap>

#include <optional>

// Reads the folder listings FTP servers send for LIST: the Unix "ls -l" form and the DOS/IIS
// form. Each entry is a map with the keys below; a name that is not valid UTF-8 is left out of
// its entry. A line in neither form is skipped: one odd line must not hide the others.
class FTPListingParser final
{
public:
    static const QString NameKey; ///< QString
    static const QString TypeKey; ///< QString: "file", "folder" or "link"
    static const QString SizeKey; ///< qint64
    static const QString ModeKey; ///< QString, as listed ("rwxr-xr-x"); Unix form only
    static const QString LinkKey; ///< QString: a link's target; Unix form only
    static const QString ModDateKey; ///< QString, as listed

    /// The entries, in order; nothing when there are lines and none of them could be read.
    static std::optional<QList<QVariantMap>> parse(const QByteArray &listing);
};

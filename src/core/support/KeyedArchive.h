#pragma once

#include "KeyedCoder.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <optional>

// One object of a keyed archive: its class chain (the class first, then its ancestors, ending in
// "NSObject") and its keyed values.
struct KeyedArchiveObject
{
    QStringList classes;
    KeyedCoder coder;

    QString className() const { return classes.value(0); }
};

// Reads and writes keyed archives: binary property lists in the structure of the keyed archiver
// ("$archiver", "$version" 100000, "$top" with "root", "$objects" starting with "$null", objects
// referring to each other by UID, class records with "$classname" and "$classes"). The root is
// an array of objects.
class KeyedArchive final
{
public:
    /// The archive of an array (class NSMutableArray) holding the objects in order.
    static QByteArray archivedDataWithRootArray(const QList<KeyedArchiveObject> &objects);

    /// The objects of the archive's root array, in order; nothing when the data is not a keyed
    /// archive whose root is an array of objects (damaged, truncated or foreign data).
    static std::optional<QList<KeyedArchiveObject>> unarchiveRootArray(const QByteArray &data);
};

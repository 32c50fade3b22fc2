#include "DestinationStore.h"

#include "DestinationAddDestination.h"
#include "DestinationAirDrop.h"
#include "DestinationAlongsideSource.h"
#include "DestinationDesktop.h"
#include "DestinationDropbox.h"
#include "DestinationEmail.h"
#include "DestinationFTP.h"
#include "DestinationFolder.h"
#include "DestinationICloud.h"
#include "DestinationMessages.h"
#include "core/support/KeyedArchive.h"
#include "core/support/Utilities.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

using namespace Qt::Literals::StringLiterals;

namespace {

using Decoder = DestinationPointer (*)(const KeyedCoder &);

template <typename Kind> DestinationPointer decode(const KeyedCoder &coder)
{
    return std::make_shared<Kind>(coder);
}

// Every kind that is stored, under its class name.
const QHash<QString, Decoder> &decoders()
{
    static const QHash<QString, Decoder> kinds {
        {u"DestinationAddDestination"_s, &decode<DestinationAddDestination>},
        {u"DestinationAirDrop"_s, &decode<DestinationAirDrop>},
        {u"DestinationAlongsideSource"_s, &decode<DestinationAlongsideSource>},
        {u"DestinationDesktop"_s, &decode<DestinationDesktop>},
        {u"DestinationDropbox"_s, &decode<DestinationDropbox>},
        {u"DestinationEmail"_s, &decode<DestinationEmail>},
        {u"DestinationFTP"_s, &decode<DestinationFTP>},
        {u"DestinationFolder"_s, &decode<DestinationFolder>},
        {u"DestinationICloud"_s, &decode<DestinationICloud>},
        {u"DestinationMessages"_s, &decode<DestinationMessages>},
    };
    return kinds;
}

} // namespace

DestinationStore::DestinationStore(QString path)
    : m_path(std::move(path))
{
}

DestinationList DestinationStore::load()
{
    m_fileIsUnreadable = false;
    if (!QFileInfo::exists(m_path))
        return {};
    QFile file(m_path);
    const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const std::optional<DestinationList> destinations = unarchive(data);
    m_fileIsUnreadable = !destinations.has_value();
    return destinations.value_or(DestinationList());
}

bool DestinationStore::save(const DestinationList &destinations)
{
    const QByteArray data = archivedData(destinations);
    Utilities::ensureDirectoriesExistForFileAtPath(m_path);
    if (m_fileIsUnreadable)
        moveUnreadableFileAside();

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(data);
    return file.commit();
}

void DestinationStore::moveUnreadableFileAside()
{
    const QFileInfo info(m_path);
    const QString name = Utilities::availableFileName(info.fileName() + u".unreadable"_s, info.path());
    if (QFile::rename(m_path, info.dir().filePath(name)) || !QFileInfo::exists(m_path))
        m_fileIsUnreadable = false;
}

QByteArray DestinationStore::archivedData(const DestinationList &destinations)
{
    QList<KeyedArchiveObject> objects;
    for (const DestinationPointer &destination : destinations) {
        if (destination->type() == Destination::DestinationTypeDummy)
            continue;
        KeyedArchiveObject object;
        object.classes = QStringList {
            QString::fromLatin1(destination->metaObject()->className()), u"Destination"_s, u"NSObject"_s};
        destination->encodeWithCoder(object.coder);
        objects << object;
    }
    return KeyedArchive::archivedDataWithRootArray(objects);
}

std::optional<DestinationList> DestinationStore::unarchive(const QByteArray &data)
{
    const std::optional<QList<KeyedArchiveObject>> objects = KeyedArchive::unarchiveRootArray(data);
    if (!objects)
        return std::nullopt;
    DestinationList destinations;
    for (const KeyedArchiveObject &object : *objects) {
        const Decoder decoder = decoders().value(object.className());
        if (decoder == nullptr)
            return std::nullopt;
        destinations << decoder(object.coder);
    }
    return destinations;
}

#include "KeyedArchive.h"

#include "BinaryPlistBounds.h"

#include <QHash>

#include <plist/plist.h>

#include <cstdlib>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr uint64_t kArchiveVersion = 100000;
constexpr uint64_t kNullReference = 0;

struct PlistDeleter
{
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPointer = std::unique_ptr<void, PlistDeleter>;

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

// Builds the "$objects" array: every object gets the next UID, and each class record is written
// once however many objects refer to it.
class ObjectTableWriter
{
public:
    ObjectTableWriter()
        : m_objects(plist_new_array())
    {
        plist_array_append_item(m_objects.get(), plist_new_string("$null"));
    }

    plist_t take() { return m_objects.release(); }

    /// Reserves the next UID for an object whose content is filled in afterwards.
    uint64_t reserve()
    {
        plist_array_append_item(m_objects.get(), plist_new_bool(0));
        return plist_array_get_size(m_objects.get()) - 1;
    }

    void fill(uint64_t uid, plist_t object) { plist_array_set_item(m_objects.get(), object, uint32_t(uid)); }

    uint64_t addString(const QString &text)
    {
        const uint64_t uid = reserve();
        fill(uid, plist_new_string(utf8(text).constData()));
        return uid;
    }

    uint64_t classRecord(const QStringList &classes)
    {
        const QString name = classes.value(0);
        if (const auto found = m_classRecords.constFind(name); found != m_classRecords.cend())
            return found.value();
        plist_t record = plist_new_dict();
        plist_dict_set_item(record, "$classname", plist_new_string(utf8(name).constData()));
        plist_t chain = plist_new_array();
        for (const QString &cls : classes)
            plist_array_append_item(chain, plist_new_string(utf8(cls).constData()));
        plist_dict_set_item(record, "$classes", chain);
        const uint64_t uid = reserve();
        fill(uid, record);
        m_classRecords.insert(name, uid);
        return uid;
    }

    uint64_t addStringArray(const QStringList &texts)
    {
        const uint64_t uid = reserve();
        plist_t array = plist_new_dict();
        plist_t references = plist_new_array();
        for (const QString &text : texts)
            plist_array_append_item(references, plist_new_uid(addString(text)));
        plist_dict_set_item(array, "NS.objects", references);
        plist_dict_set_item(array, "$class", plist_new_uid(classRecord({u"NSArray"_s, u"NSObject"_s})));
        fill(uid, array);
        return uid;
    }

    uint64_t addObject(const KeyedArchiveObject &object)
    {
        const uint64_t uid = reserve();
        plist_t dict = plist_new_dict();
        const QVariantMap &values = object.coder.values();
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            plist_dict_set_item(dict, utf8(it.key()).constData(), encodeValue(it.value()));
        plist_dict_set_item(dict, "$class", plist_new_uid(classRecord(object.classes)));
        fill(uid, dict);
        return uid;
    }

private:
    plist_t encodeValue(const QVariant &value)
    {
        switch (value.typeId()) {
        case QMetaType::Bool:
            return plist_new_bool(value.toBool() ? 1 : 0);
        case QMetaType::LongLong:
            return plist_new_uint(static_cast<uint64_t>(value.toLongLong()));
        case QMetaType::QStringList:
            return plist_new_uid(addStringArray(value.toStringList()));
        default: {
            const QString text = value.toString();
            return plist_new_uid(text.isNull() ? kNullReference : addString(text));
        }
        }
    }

    PlistPointer m_objects;
    QHash<QString, uint64_t> m_classRecords;
};

// Resolves references into the "$objects" array of an archive being read.
class ObjectTableReader
{
public:
    explicit ObjectTableReader(plist_t objects)
        : m_objects(objects)
    {
    }

    /// The object a UID node refers to; null for a node that is no UID or points outside.
    plist_t resolve(plist_t node) const
    {
        if (node == nullptr || plist_get_node_type(node) != PLIST_UID)
            return nullptr;
        uint64_t uid = 0;
        plist_get_uid_val(node, &uid);
        if (uid == kNullReference || uid >= plist_array_get_size(m_objects))
            return nullptr;
        return plist_array_get_item(m_objects, uint32_t(uid));
    }

    static QString string(plist_t node)
    {
        if (node == nullptr || plist_get_node_type(node) != PLIST_STRING)
            return {};
        char *text = nullptr;
        plist_get_string_val(node, &text);
        const QString result = QString::fromUtf8(text != nullptr ? text : "");
        std::free(text);
        return result;
    }

    /// The class chain of an object dictionary, empty when it has no valid class record.
    QStringList classes(plist_t object) const
    {
        if (object == nullptr || plist_get_node_type(object) != PLIST_DICT)
            return {};
        const plist_t record = resolve(plist_dict_get_item(object, "$class"));
        if (record == nullptr || plist_get_node_type(record) != PLIST_DICT)
            return {};
        const QString name = string(plist_dict_get_item(record, "$classname"));
        if (name.isEmpty())
            return {};
        QStringList chain {name};
        const plist_t ancestors = plist_dict_get_item(record, "$classes");
        if (ancestors != nullptr && plist_get_node_type(ancestors) == PLIST_ARRAY) {
            for (uint32_t i = 0; i < plist_array_get_size(ancestors); ++i) {
                const QString ancestor = string(plist_array_get_item(ancestors, i));
                if (!ancestor.isEmpty() && ancestor != name)
                    chain << ancestor;
            }
        }
        return chain;
    }

    /// The elements of an array object ("NS.objects"), resolved; nothing when it is no array.
    std::optional<QList<plist_t>> arrayElements(plist_t object) const
    {
        if (object == nullptr || plist_get_node_type(object) != PLIST_DICT)
            return std::nullopt;
        const plist_t references = plist_dict_get_item(object, "NS.objects");
        if (references == nullptr || plist_get_node_type(references) != PLIST_ARRAY)
            return std::nullopt;
        QList<plist_t> elements;
        for (uint32_t i = 0; i < plist_array_get_size(references); ++i)
            elements << resolve(plist_array_get_item(references, i));
        return elements;
    }

    /// A stored value as a QVariant: QString, QStringList, bool, qint64, double, or invalid.
    QVariant decodeValue(plist_t node) const
    {
        switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            uint8_t flag = 0;
            plist_get_bool_val(node, &flag);
            return flag != 0;
        }
        case PLIST_UINT: {
            uint64_t number = 0;
            plist_get_uint_val(node, &number);
            return static_cast<qint64>(number);
        }
        case PLIST_REAL: {
            double number = 0;
            plist_get_real_val(node, &number);
            return number;
        }
        case PLIST_STRING:
            return string(node);
        case PLIST_UID:
            return decodeReferencedObject(resolve(node));
        default:
            return {};
        }
    }

private:
    QVariant decodeReferencedObject(plist_t object) const
    {
        if (object == nullptr)
            return QVariant::fromValue(QString());
        if (plist_get_node_type(object) == PLIST_STRING)
            return string(object);
        if (plist_get_node_type(object) != PLIST_DICT)
            return {};
        // A mutable string keeps its text under "NS.string".
        if (const plist_t text = plist_dict_get_item(object, "NS.string"))
            return string(text);
        if (const auto elements = arrayElements(object)) {
            QStringList texts;
            for (const plist_t element : *elements)
                if (element != nullptr && plist_get_node_type(element) == PLIST_STRING)
                    texts << string(element);
            return texts;
        }
        return {};
    }

    plist_t m_objects;
};

} // namespace

QByteArray KeyedArchive::archivedDataWithRootArray(const QList<KeyedArchiveObject> &objects)
{
    ObjectTableWriter table;
    const uint64_t rootUid = table.reserve();
    plist_t root = plist_new_dict();
    plist_t references = plist_new_array();
    for (const KeyedArchiveObject &object : objects)
        plist_array_append_item(references, plist_new_uid(table.addObject(object)));
    plist_dict_set_item(root, "NS.objects", references);
    plist_dict_set_item(
        root, "$class", plist_new_uid(table.classRecord({u"NSMutableArray"_s, u"NSArray"_s, u"NSObject"_s})));
    table.fill(rootUid, root);

    const PlistPointer archive(plist_new_dict());
    plist_dict_set_item(archive.get(), "$version", plist_new_uint(kArchiveVersion));
    plist_dict_set_item(archive.get(), "$archiver", plist_new_string("NSKeyedArchiver"));
    plist_t top = plist_new_dict();
    plist_dict_set_item(top, "root", plist_new_uid(rootUid));
    plist_dict_set_item(archive.get(), "$top", top);
    plist_dict_set_item(archive.get(), "$objects", table.take());

    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(archive.get(), &bytes, &length);
    const QByteArray data(bytes, qsizetype(length));
    plist_to_bin_free(bytes);
    return data;
}

std::optional<QList<KeyedArchiveObject>> KeyedArchive::unarchiveRootArray(const QByteArray &data)
{
    if (!BinaryPlistBounds::isWithinBounds(data))
        return std::nullopt;
    plist_t parsed = nullptr;
    plist_from_bin(data.constData(), uint32_t(data.size()), &parsed);
    const PlistPointer archive(parsed);
    if (!archive || plist_get_node_type(archive.get()) != PLIST_DICT)
        return std::nullopt;
    if (ObjectTableReader::string(plist_dict_get_item(archive.get(), "$archiver")) != u"NSKeyedArchiver"_s)
        return std::nullopt;
    const plist_t objects = plist_dict_get_item(archive.get(), "$objects");
    const plist_t top = plist_dict_get_item(archive.get(), "$top");
    if (objects == nullptr || plist_get_node_type(objects) != PLIST_ARRAY || top == nullptr
        || plist_get_node_type(top) != PLIST_DICT)
        return std::nullopt;

    const ObjectTableReader table(objects);
    const auto elements = table.arrayElements(table.resolve(plist_dict_get_item(top, "root")));
    if (!elements)
        return std::nullopt;

    QList<KeyedArchiveObject> result;
    for (const plist_t element : *elements) {
        KeyedArchiveObject object;
        object.classes = table.classes(element);
        if (object.classes.isEmpty())
            return std::nullopt;
        QVariantMap values;
        plist_dict_iter iterator = nullptr;
        plist_dict_new_iter(element, &iterator);
        for (;;) {
            char *key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(element, iterator, &key, &value);
            if (key == nullptr)
                break;
            const QString name = QString::fromUtf8(key);
            std::free(key);
            if (name != u"$class"_s)
                values.insert(name, table.decodeValue(value));
        }
        std::free(iterator);
        object.coder = KeyedCoder(values);
        result << object;
    }
    return result;
}

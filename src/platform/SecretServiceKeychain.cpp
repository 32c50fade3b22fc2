#include "SecretServiceKeychain.h"

#include <libsecret/secret.h>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// Our items carry this schema name, but lookups ignore it, so items that another program (such
// as secret-tool) made with the same attributes are found too.
const SecretSchema kSchema = {
    "org.tessary.Password",
    SECRET_SCHEMA_DONT_MATCH_NAME,
    {
        {"service", SECRET_SCHEMA_ATTRIBUTE_STRING},
        {"account", SECRET_SCHEMA_ATTRIBUTE_STRING},
        {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING},
    },
    0,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

struct GObjectDeleter
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
struct HashTableDeleter
{
    void operator()(GHashTable *table) const { g_hash_table_unref(table); }
};
struct SecretValueDeleter
{
    void operator()(SecretValue *value) const { secret_value_unref(value); }
};
using HashTablePointer = std::unique_ptr<GHashTable, HashTableDeleter>;
using SecretValuePointer = std::unique_ptr<SecretValue, SecretValueDeleter>;
using ServicePointer = std::unique_ptr<SecretService, GObjectDeleter>;

KeychainBackend::Status statusOf(GError *error)
{
    KeychainBackend::Status status {KeychainBackend::StatusNotAvailable, QString::fromUtf8(error->message)};
    g_error_free(error);
    return status;
}

HashTablePointer attributeTable(const KeychainBackend::Attributes &attributes)
{
    HashTablePointer table(g_hash_table_new_full(g_str_hash, g_str_equal, g_free, g_free));
    for (auto it = attributes.cbegin(); it != attributes.cend(); ++it)
        g_hash_table_insert(
            table.get(), g_strdup(it.key().toUtf8().constData()), g_strdup(it.value().toUtf8().constData()));
    return table;
}

KeychainBackend::Attributes attributesOf(SecretItem *item)
{
    KeychainBackend::Attributes attributes;
    GHashTable *table = secret_item_get_attributes(item);
    GHashTableIter iterator;
    gpointer key = nullptr;
    gpointer value = nullptr;
    g_hash_table_iter_init(&iterator, table);
    while (g_hash_table_iter_next(&iterator, &key, &value))
        attributes.insert(
            QString::fromUtf8(static_cast<const char *>(key)), QString::fromUtf8(static_cast<const char *>(value)));
    g_hash_table_unref(table);
    return attributes;
}

QDateTime dateOf(guint64 secondsSinceEpoch)
{
    return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(secondsSinceEpoch), Qt::UTC);
}

SecretValuePointer secretValue(const QByteArray &secret)
{
    return SecretValuePointer(secret_value_new(secret.constData(), secret.size(), "text/plain"));
}

// The Secret Service connection; null with the status set when there is none.
ServicePointer connectToService(KeychainBackend::Status &status)
{
    GError *error = nullptr;
    ServicePointer service(secret_service_get_sync(SECRET_SERVICE_OPEN_SESSION, nullptr, &error));
    if (error != nullptr)
        status = statusOf(error);
    return service;
}

// Every item of every collection: the Secret Service finds nothing for a search without
// attributes.
GList *allItems(SecretService *service, GError **error)
{
    GList *items = nullptr;
    if (!secret_service_load_collections_sync(service, nullptr, error))
        return nullptr;
    GList *collections = secret_service_get_collections(service);
    for (GList *entry = collections; entry != nullptr; entry = entry->next) {
        SecretCollection *collection = SECRET_COLLECTION(entry->data);
        if (secret_collection_load_items_sync(collection, nullptr, nullptr))
            items = g_list_concat(items, secret_collection_get_items(collection));
    }
    g_list_free_full(collections, g_object_unref);
    return items;
}

// Runs the search and hands each found item to the visitor; the list is freed afterwards.
template <typename Visitor>
KeychainBackend::Status search(const KeychainBackend::Attributes &attributes, int flags, Visitor visit)
{
    KeychainBackend::Status status;
    const ServicePointer service = connectToService(status);
    if (!service)
        return status;
    GError *error = nullptr;
    GList *found = attributes.isEmpty()
        ? allItems(service.get(), &error)
        : secret_service_search_sync(service.get(), &kSchema, attributeTable(attributes).get(),
            static_cast<SecretSearchFlags>(flags), nullptr, &error);
    if (error != nullptr)
        return statusOf(error);
    if (found == nullptr)
        return {KeychainBackend::StatusItemNotFound, {}};
    for (GList *entry = found; entry != nullptr && status.code == 0; entry = entry->next)
        status = visit(SECRET_ITEM(entry->data));
    g_list_free_full(found, g_object_unref);
    return status;
}

} // namespace

KeychainBackend::Status SecretServiceKeychain::find(
    const Attributes &attributes, bool all, bool withSecret, QList<Item> &items)
{
    const int flags
        = SECRET_SEARCH_UNLOCK | (all ? SECRET_SEARCH_ALL : 0) | (withSecret ? SECRET_SEARCH_LOAD_SECRETS : 0);
    return search(attributes, flags, [&items, withSecret](SecretItem *found) {
        Item item;
        item.attributes = attributesOf(found);
        gchar *label = secret_item_get_label(found);
        item.label = QString::fromUtf8(label);
        g_free(label);
        item.created = dateOf(secret_item_get_created(found));
        item.modified = dateOf(secret_item_get_modified(found));
        if (withSecret) {
            if (SecretValue *value = secret_item_get_secret(found)) {
                gsize length = 0;
                const gchar *bytes = secret_value_get(value, &length);
                item.secret = QByteArray(bytes, static_cast<qsizetype>(length));
                secret_value_unref(value);
            }
        }
        items << item;
        return Status {};
    });
}

KeychainBackend::Status SecretServiceKeychain::create(
    const Attributes &attributes, const QString &label, const QByteArray &secret)
{
    Status status;
    const ServicePointer service = connectToService(status);
    if (!service)
        return status;
    GError *error = nullptr;
    secret_service_store_sync(service.get(), &kSchema, attributeTable(attributes).get(), SECRET_COLLECTION_DEFAULT,
        label.toUtf8().constData(), secretValue(secret).get(), nullptr, &error);
    return error != nullptr ? statusOf(error) : Status {};
}

KeychainBackend::Status SecretServiceKeychain::replaceSecret(const Attributes &attributes, const QByteArray &secret)
{
    return search(attributes, SECRET_SEARCH_UNLOCK, [&secret](SecretItem *item) {
        GError *error = nullptr;
        secret_item_set_secret_sync(item, secretValue(secret).get(), nullptr, &error);
        return error != nullptr ? statusOf(error) : Status {};
    });
}

KeychainBackend::Status SecretServiceKeychain::remove(const Attributes &attributes)
{
    return search(attributes, SECRET_SEARCH_UNLOCK, [](SecretItem *item) {
        GError *error = nullptr;
        secret_item_delete_sync(item, nullptr, &error);
        return error != nullptr ? statusOf(error) : Status {};
    });
}

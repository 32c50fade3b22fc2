#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

// The keyed values of one archived object: what an object writes when it is archived and
// reads back when it is unarchived. Values are texts (null for nil), lists of texts, flags and
// 64-bit integers. Reading is lenient: a key that is missing or holds another kind of value reads
// as null, an empty list, false or 0.
class KeyedCoder final
{
public:
    KeyedCoder() = default;
    explicit KeyedCoder(QVariantMap values)
        : m_values(std::move(values))
    {
    }

    /// A null text is archived as nil.
    void encodeString(const QString &key, const QString &value);
    /// An empty list is archived as nil.
    void encodeStringList(const QString &key, const QStringList &value);
    void encodeBool(const QString &key, bool value);
    void encodeInt64(const QString &key, qint64 value);

    QString decodeString(const QString &key) const;
    QStringList decodeStringList(const QString &key) const;
    bool decodeBool(const QString &key) const;
    qint64 decodeInt64(const QString &key) const;
    bool containsKey(const QString &key) const { return m_values.contains(key); }

    /// Every key with its value: QString (possibly null), QStringList, bool or qint64.
    const QVariantMap &values() const { return m_values; }

private:
    QVariantMap m_values;
};

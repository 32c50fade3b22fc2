#include "KeyedCoder.h"

void KeyedCoder::encodeString(const QString &key, const QString &value)
{
    m_values.insert(key, QVariant::fromValue(value));
}

void KeyedCoder::encodeStringList(const QString &key, const QStringList &value)
{
    m_values.insert(key, value.isEmpty() ? QVariant::fromValue(QString()) : QVariant(value));
}

void KeyedCoder::encodeBool(const QString &key, bool value)
{
    m_values.insert(key, value);
}

void KeyedCoder::encodeInt64(const QString &key, qint64 value)
{
    m_values.insert(key, value);
}

QString KeyedCoder::decodeString(const QString &key) const
{
    const QVariant value = m_values.value(key);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

QStringList KeyedCoder::decodeStringList(const QString &key) const
{
    const QVariant value = m_values.value(key);
    return value.typeId() == QMetaType::QStringList ? value.toStringList() : QStringList();
}

bool KeyedCoder::decodeBool(const QString &key) const
{
    const QVariant value = m_values.value(key);
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::LongLong:
        return value.toLongLong() != 0;
    default:
        return false;
    }
}

qint64 KeyedCoder::decodeInt64(const QString &key) const
{
    const QVariant value = m_values.value(key);
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Bool:
        return value.toLongLong();
    case QMetaType::Double:
        return static_cast<qint64>(value.toDouble());
    default:
        return 0;
    }
}

#include "BinaryPlistBounds.h"

#include <QList>

#include <optional>

namespace {

constexpr qsizetype kHeaderBytes = 8;
constexpr qsizetype kTrailerBytes = 32;

// The big-endian unsigned integer of `size` bytes at the offset; nothing outside the data.
std::optional<quint64> readNumber(const QByteArray &data, quint64 offset, quint64 size)
{
    if (size == 0 || size > 8 || offset > quint64(data.size()) || size > quint64(data.size()) - offset)
        return std::nullopt;
    quint64 value = 0;
    for (quint64 i = 0; i < size; ++i)
        value = (value << 8) | quint8(data.at(qsizetype(offset + i)));
    return value;
}

class Walker
{
public:
    explicit Walker(const QByteArray &data)
        : m_data(data)
    {
    }

    bool check()
    {
        if (m_data.size() < kHeaderBytes + kTrailerBytes || m_data.size() > BinaryPlistBounds::MaximumBytes
            || !m_data.startsWith("bplist"))
            return false;
        const quint64 trailer = quint64(m_data.size() - kTrailerBytes);
        m_offsetSize = quint8(m_data.at(qsizetype(trailer + 6)));
        m_referenceSize = quint8(m_data.at(qsizetype(trailer + 7)));
        const auto objects = readNumber(m_data, trailer + 8, 8);
        const auto top = readNumber(m_data, trailer + 16, 8);
        const auto table = readNumber(m_data, trailer + 24, 8);
        if (!objects || !top || !table || *objects == 0 || *objects > BinaryPlistBounds::MaximumObjects
            || *top >= *objects)
            return false;
        m_objectCount = *objects;
        m_tableOffset = *table;
        m_nodes = QList<quint64>(qsizetype(m_objectCount), 0);
        m_state = QList<quint8>(qsizetype(m_objectCount), 0);
        const auto nodes = nodesOf(*top, 0);
        return nodes && *nodes <= BinaryPlistBounds::MaximumNodes;
    }

private:
    // The nodes the object becomes with its references followed; nothing past a bound.
    std::optional<quint64> nodesOf(quint64 object, int depth)
    {
        if (object >= m_objectCount || depth > BinaryPlistBounds::MaximumDepth)
            return std::nullopt;
        const qsizetype index = qsizetype(object);
        if (m_state.at(index) == kDone)
            return m_nodes.at(index);
        if (m_state.at(index) == kVisiting)
            return std::nullopt; // a cycle
        m_state[index] = kVisiting;

        const auto offset = readNumber(m_data, m_tableOffset + object * m_offsetSize, m_offsetSize);
        if (!offset || *offset >= quint64(m_data.size()))
            return std::nullopt;
        const quint8 marker = quint8(m_data.at(qsizetype(*offset)));
        quint64 total = 1;
        const quint8 kind = marker >> 4;
        if (kind == 0xA || kind == 0xC || kind == 0xD) { // array, set, dictionary: references
            quint64 count = marker & 0x0F;
            quint64 start = *offset + 1;
            if (count == 0x0F) {
                const auto sized = readNumber(m_data, start, 1);
                if (!sized || (*sized >> 4) != 0x1)
                    return std::nullopt;
                const auto length = readNumber(m_data, start + 1, quint64(1) << (*sized & 0x0F));
                if (!length)
                    return std::nullopt;
                count = *length;
                start += 1 + (quint64(1) << (*sized & 0x0F));
            }
            const quint64 references = kind == 0xD ? count * 2 : count;
            if (references > quint64(m_data.size()))
                return std::nullopt;
            for (quint64 i = 0; i < references; ++i) {
                const auto child = readNumber(m_data, start + i * m_referenceSize, m_referenceSize);
                if (!child)
                    return std::nullopt;
                const auto nodes = nodesOf(*child, depth + 1);
                if (!nodes)
                    return std::nullopt;
                total += *nodes;
                if (total > BinaryPlistBounds::MaximumNodes)
                    return std::nullopt;
            }
        }
        m_state[index] = kDone;
        m_nodes[index] = total;
        return total;
    }

    static constexpr quint8 kVisiting = 1;
    static constexpr quint8 kDone = 2;

    const QByteArray &m_data;
    quint64 m_offsetSize = 0;
    quint64 m_referenceSize = 0;
    quint64 m_objectCount = 0;
    quint64 m_tableOffset = 0;
    QList<quint64> m_nodes;
    QList<quint8> m_state;
};

} // namespace

bool BinaryPlistBounds::isWithinBounds(const QByteArray &data)
{
    return Walker(data).check();
}

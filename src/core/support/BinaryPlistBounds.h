#pragma once

#include <QByteArray>

// Checks, without building anything, that a binary property list stays within bounds before a
// parser that trusts its input builds it: its size, the number of its objects, how deep its
// containers nest, and how many nodes it becomes once every reference is followed (a small file
// whose objects refer to each other over and over would otherwise become gigabytes). Cycles and
// references outside the object table fail too.
namespace BinaryPlistBounds {
constexpr qsizetype MaximumBytes = 8 << 20;
constexpr quint64 MaximumObjects = 100000;
constexpr int MaximumDepth = 64;
constexpr quint64 MaximumNodes = 1000000;

bool isWithinBounds(const QByteArray &data);
} // namespace BinaryPlistBounds

#pragma once

#include "core/support/Error.h"

#include <QString>

#include <functional>

class QObject;

// The quick zip's preset password, kept only in the keychain (service and account "Tessary").
// Reads and writes go off the GUI thread (a locked keyring may keep the answer waiting behind its
// unlock prompt), in the order they were asked for, and answer on the GUI thread unless the
// receiver has gone by then. Failures are logged.
class QuickZipPassword final
{
public:
    /// (password, readable): the preset password, null when there is none; readable is false
    /// when the keychain could not be read (a locked keyring whose unlock was refused).
    using ReadCompletion = std::function<void(const QString &password, bool readable)>;
    /// A null error when the keychain took the password.
    using StoreCompletion = std::function<void(const Error &error)>;

    static void read(const QObject *receiver, ReadCompletion completion);
    /// An empty password removes the one stored.
    static void store(const QObject *receiver, const QString &password, StoreCompletion completion);
};

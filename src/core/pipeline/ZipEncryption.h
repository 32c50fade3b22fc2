#pragma once

#include <QtGlobal>

/// How a password protects an archive; the values are stored ("Password Encryption").
enum ZipEncryption : qint32 {
    /// The traditional zip encryption: every archiver opens it, but it is weak.
    ZipEncryptionCompatible = 0,
    /// AES-256 in the AE-2 format: strong, but older archivers cannot open it.
    ZipEncryptionAES256 = 1,
};

#pragma once

#include <QString>

// The running system's version, read from its version text (the kernel's release on Linux): the
// first word with a "." in it, split at the dots.
class SystemVersion final
{
public:
    /// The parts of the version; each out-parameter may be null. Without a word holding a ".",
    /// the answers are 10, 8 and 0.
    static void systemVersionMajor(qint16 *major, qint16 *minor, qint16 *revision);
    /// The same, read from the text given.
    static void versionFromText(const QString &text, qint16 *major, qint16 *minor, qint16 *revision);
    /// "MAJOR.MINOR".
    static QString systemVersionString();
    /// Whether Tessary can put its drop pad on this desktop: an X11 display, directly or through
    /// XWayland, is what the pad needs to stay above every window and take drags from every
    /// program. Asks the running application's platform.
    static bool canShowDropPad();
};

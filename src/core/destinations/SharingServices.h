#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The desktop's ways of handing an archive on: a new e-mail in the user's mail program, a message
// sent through the phone paired with KDE Connect, a file offered to a nearby paired device, a
// link put on the clipboard. Each call but the clipboard's returns at once and reports once, on
// the GUI thread, with an empty problem when the service took the job, or with one sentence
// telling the user what is missing.
class SharingServices
{
public:
    using Completion = std::function<void(const QString &problem)>;

    virtual ~SharingServices() = default;

    /// A new e-mail with the subject, the body, the recipients (none: the user fills them in) and
    /// the file attached when one is given.
    virtual void composeEmail(const QString &subject, const QString &body, const QStringList &recipients,
        const QString &attachmentPath, const Completion &completion)
        = 0;
    /// A message with the text and the file, to the recipients (none: the user picks them).
    virtual void composeMessage(
        const QString &text, const QStringList &recipients, const QString &attachmentPath, const Completion &completion)
        = 0;
    /// Offers the file to a nearby device.
    virtual void shareNearby(const QString &filePath, const Completion &completion) = 0;
    /// Puts the text on the clipboard.
    virtual void copyToClipboard(const QString &text) = 0;

    /// The services in use: those installed (the desktop's, or a test's stand-in); while none
    /// is, every service reports that sharing is not available.
    static SharingServices &instance();
    static void setInstance(SharingServices *services);
};

#pragma once

#include "core/destinations/SharingServices.h"

// The sharing services of a Linux desktop: xdg-email for e-mail, KDE Connect (over D-Bus) for
// messages through the paired phone and for sharing with a nearby device, Qt's clipboard.
class DesktopSharing final : public SharingServices
{
public:
    static const QString KdeConnectService;

    void composeEmail(const QString &subject, const QString &body, const QStringList &recipients,
        const QString &attachmentPath, const Completion &completion) override;
    void composeMessage(const QString &text, const QStringList &recipients, const QString &attachmentPath,
        const Completion &completion) override;
    void shareNearby(const QString &filePath, const Completion &completion) override;
    void copyToClipboard(const QString &text) override;

private:
    static void callDevice(const QString &path, const QString &interface, const QString &method,
        const QVariantList &arguments, const Completion &completion);
};

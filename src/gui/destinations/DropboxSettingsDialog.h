#pragma once

#include "gui/prompts/PromptDialog.h"

#include <functional>
#include <memory>

namespace Ui {
class DropboxSettingsDialog;
}

// The share-link settings of a Dropbox Destination and the user's Dropbox access token. The send
// check box can be used only while share links are made.
class DropboxSettingsDialog final : public PromptDialog
{
    Q_OBJECT

public:
    /// On OK (false, create, send, method, token); on Cancel (true, and the values it was opened
    /// with).
    using Completion = std::function<void(
        bool cancelled, bool createShareLinks, bool sendShareLinks, qint32 sendLinkMethod, const QString &accessToken)>;

    DropboxSettingsDialog(bool createShareLinks, bool sendShareLinks, qint32 sendLinkMethod, const QString &accessToken,
        Completion completion);
    ~DropboxSettingsDialog() override;

protected:
    bool passesChecks() override { return true; }
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    void maintainInterface();

    std::unique_ptr<Ui::DropboxSettingsDialog> m_ui;
    const bool m_createShareLinks;
    const bool m_sendShareLinks;
    const qint32 m_sendLinkMethod;
    const QString m_accessToken;
    Completion m_completion;
};

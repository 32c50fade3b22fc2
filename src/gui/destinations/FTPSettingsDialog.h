#pragma once

#include "core/ftp/FTPServerInfo.h"
#include "gui/prompts/PromptDialog.h"

#include <functional>
#include <memory>

namespace Ui {
class FTPSettingsDialog;
}

// The settings of an FTP Destination: protocol, server address, port, user name, password,
// folder, and whether to ask before replacing an archive of the same name. An address written as
// a URL ("sftp://anna@example.com:2222/up") chooses the protocol and fills in the other fields it
// holds. The port follows the protocol unless the user has given one of his own.
class FTPSettingsDialog final : public PromptDialog
{
    Q_OBJECT

public:
    /// On OK (false, address, port, protocol, user name, password, folder, confirm); on Cancel
    /// (true, null texts, 0, plain FTP, false).
    using Completion
        = std::function<void(bool cancelled, const QString &serverAddress, qint64 port, ServerProtocol protocol,
            const QString &userName, const QString &password, const QString &folderPath, bool confirmReplacement)>;

    FTPSettingsDialog(const QString &serverAddress, qint64 port, ServerProtocol protocol, const QString &userName,
        const QString &password, const QString &folderPath, bool confirmReplacementOfExistingFiles,
        Completion completion);
    ~FTPSettingsDialog() override;

    /// The port as typed: its leading decimal digits, 0 when there are none.
    static qint64 portFromText(const QString &text);

protected:
    bool passesChecks() override;
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    ServerProtocol protocol() const;
    void setProtocol(ServerProtocol protocol);
    /// A protocol chosen: a port left at the last protocol's own (or empty) becomes the new one's.
    void protocolChosen();
    /// Spreads an address written as a URL over the fields.
    void addressEdited();

    std::unique_ptr<Ui::FTPSettingsDialog> m_ui;
    Completion m_completion;
    ServerProtocol m_shownProtocol = ServerProtocolFTP;
};

#pragma once

#include "gui/prompts/PromptWindowController.h"

#include <functional>
#include <memory>

namespace Ui {
class DestinationFTPConfigureWindowController;
}

// The settings of an FTP Destination: server address, port, user name, password, folder, and
// whether to ask before replacing an archive of the same name.
class DestinationFTPConfigureWindowController final : public PromptWindowController
{
    Q_OBJECT

public:
    /// On OK (false, address, port, user name, password, folder, confirm); on Cancel (true, null
    /// texts, 0, false).
    using Completion = std::function<void(bool cancelled, const QString &serverAddress, qint64 port,
        const QString &userName, const QString &password, const QString &folderPath, bool confirmReplacement)>;

    DestinationFTPConfigureWindowController(const QString &serverAddress, qint64 port, const QString &userName,
        const QString &password, const QString &folderPath, bool confirmReplacementOfExistingFiles,
        Completion completion);
    ~DestinationFTPConfigureWindowController() override;

    /// The port as typed: its leading decimal digits, 0 when there are none.
    static qint64 portFromText(const QString &text);

protected:
    bool passesChecks() override;
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::DestinationFTPConfigureWindowController> m_ui;
    Completion m_completion;
};

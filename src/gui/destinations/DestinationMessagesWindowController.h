#pragma once

#include "gui/prompts/PromptWindowController.h"

#include <functional>
#include <memory>

namespace Ui {
class DestinationMessagesWindowController;
}

// The text and recipients of a Messages Destination; Return starts a new line in each.
class DestinationMessagesWindowController final : public PromptWindowController
{
    Q_OBJECT

public:
    /// On OK (false, text, recipients); on Cancel (true, and the values it was opened with).
    using Completion = std::function<void(bool cancelled, const QString &text, const QStringList &recipients)>;

    DestinationMessagesWindowController(const QString &text, const QStringList &recipients, Completion completion);
    ~DestinationMessagesWindowController() override;

protected:
    bool passesChecks() override { return true; }
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::DestinationMessagesWindowController> m_ui;
    QString m_text;
    QStringList m_recipients;
    Completion m_completion;
};

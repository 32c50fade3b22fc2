#pragma once

#include "gui/prompts/PromptDialog.h"

#include <functional>
#include <memory>

namespace Ui {
class MessagesSettingsDialog;
}

// The text and recipients of a Messages Destination; Return starts a new line in each.
class MessagesSettingsDialog final : public PromptDialog
{
    Q_OBJECT

public:
    /// On OK (false, text, recipients); on Cancel (true, and the values it was opened with).
    using Completion = std::function<void(bool cancelled, const QString &text, const QStringList &recipients)>;

    MessagesSettingsDialog(const QString &text, const QStringList &recipients, Completion completion);
    ~MessagesSettingsDialog() override;

protected:
    bool passesChecks() override { return true; }
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::MessagesSettingsDialog> m_ui;
    QString m_text;
    QStringList m_recipients;
    Completion m_completion;
};

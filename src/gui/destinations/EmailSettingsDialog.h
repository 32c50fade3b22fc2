#pragma once

#include "gui/prompts/PromptDialog.h"

#include <functional>
#include <memory>

namespace Ui {
class EmailSettingsDialog;
}

// The recipients, subject and body of an Email Destination; Return starts a new line in each.
class EmailSettingsDialog final : public PromptDialog
{
    Q_OBJECT

public:
    /// On OK (false, recipients, subject, body); on Cancel (true, none, null, null).
    using Completion = std::function<void(
        bool cancelled, const QStringList &recipients, const QString &subject, const QString &body)>;

    EmailSettingsDialog(
        const QStringList &recipients, const QString &subject, const QString &body, Completion completion);
    ~EmailSettingsDialog() override;

protected:
    bool passesChecks() override { return true; }
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::EmailSettingsDialog> m_ui;
    Completion m_completion;
};

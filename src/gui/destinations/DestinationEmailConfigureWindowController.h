#pragma once

#include "gui/prompts/PromptWindowController.h"

#include <functional>
#include <memory>

namespace Ui {
class DestinationEmailConfigureWindowController;
}

// The recipients, subject and body of an Email Destination; Return starts a new line in each.
class DestinationEmailConfigureWindowController final : public PromptWindowController
{
    Q_OBJECT

public:
    /// On OK (false, recipients, subject, body); on Cancel (true, none, null, null).
    using Completion = std::function<void(
        bool cancelled, const QStringList &recipients, const QString &subject, const QString &body)>;

    DestinationEmailConfigureWindowController(
        const QStringList &recipients, const QString &subject, const QString &body, Completion completion);
    ~DestinationEmailConfigureWindowController() override;

protected:
    bool passesChecks() override { return true; }
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::DestinationEmailConfigureWindowController> m_ui;
    Completion m_completion;
};

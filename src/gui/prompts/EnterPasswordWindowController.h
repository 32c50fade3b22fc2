#pragma once

#include "PromptWindowController.h"

#include <functional>
#include <memory>

namespace Ui {
class EnterPasswordWindowController;
}

// Asks for a known password (the preset one) before something may change it; any number of
// attempts.
class EnterPasswordWindowController final : public PromptWindowController
{
    Q_OBJECT

public:
    /// (matched): true once the typed password matched, false on Cancel.
    using Completion = std::function<void(bool matched)>;

    EnterPasswordWindowController(const QString &password, const QString &prompt, Completion completion);
    ~EnterPasswordWindowController() override;

protected:
    bool passesChecks() override;
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::EnterPasswordWindowController> m_ui;
    QString m_password;
    Completion m_completion;
};

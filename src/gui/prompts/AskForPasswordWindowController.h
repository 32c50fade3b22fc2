#pragma once

#include "PromptWindowController.h"

#include <functional>
#include <memory>

namespace Ui {
class AskForPasswordWindowController;
}

// Asks for the password of an archive, typed twice.
class AskForPasswordWindowController final : public PromptWindowController
{
    Q_OBJECT

public:
    /// (cancelled, password): (false, the password) or (true, null).
    using Completion = std::function<void(bool cancelled, const QString &password)>;

    explicit AskForPasswordWindowController(Completion completion);
    ~AskForPasswordWindowController() override;

protected:
    bool passesChecks() override;
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::AskForPasswordWindowController> m_ui;
    Completion m_completion;
};

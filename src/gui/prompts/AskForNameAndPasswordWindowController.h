#pragma once

#include "PromptWindowController.h"

#include <functional>
#include <memory>

class NameChoice;
namespace Ui {
class AskForNameAndPasswordWindowController;
}

// Asks for the name of an archive and its password at once; an empty password (after a question)
// makes an archive without one.
class AskForNameAndPasswordWindowController final : public PromptWindowController
{
    Q_OBJECT

public:
    /// (cancelled, name type, name, password): the password is null when there is none; on Cancel
    /// (true, 0, null, null).
    using Completion
        = std::function<void(bool cancelled, qint32 nameType, const QString &name, const QString &password)>;

    AskForNameAndPasswordWindowController(
        const QString &savedName, const QString &derivedName, qint32 nameType, Completion completion);
    ~AskForNameAndPasswordWindowController() override;

protected:
    bool passesChecks() override;
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::AskForNameAndPasswordWindowController> m_ui;
    NameChoice *m_nameChoice = nullptr;
    Completion m_completion;
};

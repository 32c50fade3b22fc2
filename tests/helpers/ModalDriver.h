#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers modal windows the way a user would. Each step runs once on the modal window that is on
// top after a change of the top modal window: the prompt when it comes up, the message box that
// one of its checks opens, the prompt again once that box is closed. Message boxes can be
// answered by answerMessageBox(), which records their title and text in messages.
class ModalDriver final : public QObject
{
    Q_OBJECT

public:
    using Step = std::function<void(QWidget *modal)>;

    ModalDriver();

    /// Adds the next step.
    ModalDriver &then(Step step);
    /// A step that records the message box on top ("TITLE|MESSAGE") and presses its button with
    /// the text (or its default button when the text is empty); looks at the box first, where a
    /// look is given.
    ModalDriver &answerMessageBox(const QString &buttonText = {}, const Step &look = {});

    /// Steps that have not run yet.
    qsizetype remainingSteps() const { return m_steps.size(); }
    /// The message boxes answered, in order.
    QStringList messages;

    /// Types the text into the line edit, replacing what is selected.
    static void type(QWidget *modal, const char *lineEditName, const QString &text);
    static void press(QWidget *modal, Qt::Key key);

private:
    void poll();

    QList<Step> m_steps;
    QPointer<QWidget> m_lastTop;
    QTimer m_timer;
};

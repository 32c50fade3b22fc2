#pragma once

#include "core/pipeline/MinimumWait.h"

#include <QObject>
#include <QPointF>
#include <QString>

#include <functional>
#include <memory>

class QWidget;
namespace Ui {
class ProgressDialog;
}

// The window of one running job: its name as the title, a message line, a progress bar, a
// spinner and Cancel. It appears only if the job still runs after a delay (showAfter()), and once
// up it stays at least 1.5 seconds. After dismiss() the window closes (when its minimum time is
// over) and the dialog deletes itself; an owner keeps a QPointer to it.
class ProgressDialog final : public QObject
{
    Q_OBJECT

public:
    /// How long a window that came up stays up at least, in seconds.
    static constexpr double MinimumShowTime = 1.5;
    /// How long a shown window keeps its last progress before it goes.
    static constexpr int FullBarTimeMs = 250;

    /// A null title reads "Progress", a null message "Processing..."; the cancellation runs when
    /// the user presses Cancel (it neither closes the window nor disables the button).
    ProgressDialog(const QString &title, const QString &message, std::function<void()> cancellation);
    ~ProgressDialog() override;

    QWidget *window() const { return m_window.get(); }

    QString title() const { return m_title; }
    QString message() const { return m_message; }
    void setMessage(const QString &message);
    /// 0..1; the bar shows it times 100.
    float progress() const { return m_progress; }
    void setProgress(float progress);
    /// Where the window's top-left corner goes; (0, 0) centres it on the screen.
    void setWindowLocation(const QPointF &location);

    /// Where the window's top-left corner is, or, before it has come up, where it will be.
    QPoint windowPosition() const;

    /// Shows the window after the delay unless it has been dismissed by then; while a question is
    /// open, once it has been answered.
    void showAfter(float seconds);
    /// Puts the window on screen now and starts its minimum time.
    void show();
    /// Whether the window ever came up.
    bool wasShown() const { return m_wasShown; }
    /// Cancels a pending appearance, closes the window once its minimum time is over, and
    /// deletes itself afterwards.
    void dismiss();

Q_SIGNALS:
    /// The user moved the window.
    void progressWindowDidMove(ProgressDialog *dialog);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showOnceNoQuestionIsOpen();
    void cancelPressed();
    void placeWindow();
    QPoint centredPosition() const;
    void closeWindow();

    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<Ui::ProgressDialog> m_ui;
    QString m_title;
    QString m_message;
    float m_progress = 0.0F;
    std::function<void()> m_cancellation;
    QPointF m_windowLocation;
    bool m_wasShown = false;
    bool m_delayedShowCancelled = false;
    bool m_placing = false;
    std::unique_ptr<MinimumWait> m_minimumWait;
};

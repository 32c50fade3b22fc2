#pragma once

#include <QList>
#include <QObject>

#include <functional>
#include <memory>

class IntroductionPage;
class QWidget;

namespace Ui {
class IntroductionDialog;
}

// The introduction: a short guided tour of six pages, one at a time, faded one into the next,
// with Previous, Next (Done on the last page) and Skip, and "k of 6" between them. However the
// window closes (Done, Skip, its close button), the completion runs once. Opened at the first
// launch, a Skip is followed by a reminder of where the tour can be found again.
class IntroductionDialog final : public QObject
{
    Q_OBJECT

public:
    static const QString SkipReminderMessage;

    IntroductionDialog(bool showSkipReminderMessage, std::function<void()> completion);
    ~IntroductionDialog() override;

    /// Brings the window up, centred, on its first page.
    void show();
    QWidget *window() const { return m_window.get(); }

    void nextButtonPressed();
    void previousButtonPressed();
    void skipButtonPressed();

    qsizetype indexOfCurrentPage() const { return m_indexOfCurrentPage; }
    /// The pages' widgets, in tour order.
    QList<QWidget *> pages() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showPageAtIndex(qsizetype index);
    void maintainInterface();
    void fade(QWidget *page, qreal to);

    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<Ui::IntroductionDialog> m_ui;
    QList<std::pair<QWidget *, IntroductionPage *>> m_pages;
    qsizetype m_indexOfCurrentPage = 0;
    const bool m_showSkipReminderMessage;
    std::function<void()> m_completion;
};

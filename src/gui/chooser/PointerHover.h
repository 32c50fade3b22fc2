#pragma once

#include <QObject>
#include <QPoint>
#include <QTimer>

class QWidget;

// Follows the pointer over a widget: while it is on and the widget is shown, it tells every
// 0.1 s where the pointer is, except while another window holds the user in a modal question.
class PointerHover final : public QObject
{
    Q_OBJECT

public:
    explicit PointerHover(QWidget *area);

    /// On or off; on, it runs whenever the area is shown.
    void setEnabled(bool enabled);
    /// Stops until resume(), as while the area's content is rebuilt.
    void pause();
    void resume();
    /// Whether another window (not the widget's own) holds the user in a modal question.
    static bool isBehindModalWindow(const QWidget *widget);

Q_SIGNALS:
    /// Where the pointer is, in screen coordinates.
    void pointerAt(const QPoint &globalPosition);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_area;
    bool m_enabled = false;
    QTimer m_timer;
};

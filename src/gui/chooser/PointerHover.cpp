#include "PointerHover.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QWidget>

namespace {
constexpr int kIntervalMs = 100;
} // namespace

PointerHover::PointerHover(QWidget *area)
    : QObject(area)
    , m_area(area)
{
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (!isBehindModalWindow(m_area))
            Q_EMIT pointerAt(QCursor::pos());
    });
    area->installEventFilter(this);
}

void PointerHover::setEnabled(bool enabled)
{
    m_enabled = enabled;
    resume();
}

void PointerHover::pause()
{
    m_timer.stop();
}

void PointerHover::resume()
{
    m_timer.stop();
    if (m_enabled && m_area->isVisible())
        m_timer.start();
}

bool PointerHover::isBehindModalWindow(const QWidget *widget)
{
    const QWidget *modal = QApplication::activeModalWidget();
    return modal != nullptr && modal != widget->window();
}

bool PointerHover::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_area && event->type() == QEvent::Show)
        resume();
    else if (watched == m_area && event->type() == QEvent::Hide)
        pause();
    return QObject::eventFilter(watched, event);
}

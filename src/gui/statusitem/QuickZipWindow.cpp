#include "QuickZipWindow.h"

#include "gui/chooser/DestinationTile.h"
#include "gui/chooser/DestinationGrid.h"
#include "platform/WindowManagerHints.h"

#include <QCursor>
#include <QEvent>
#include <QWindow>

using namespace Qt::Literals::StringLiterals;

QuickZipWindow::QuickZipWindow()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , m_destinationGrid(new DestinationGrid(QSizeF(TileSide, TileSide), this))
    , m_fade(this, "windowOpacity")
{
    setObjectName(u"TessaryQuickZipWindow"_s);
    setWindowTitle(u"Tessary Quick Zip"_s);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    m_fade.setDuration(FadeOutMs);
    m_fade.setEndValue(0.0);
    // A drag leaves the window as a whole (not one of its tiles for another) here.
    winId();
    windowHandle()->installEventFilter(this);
}

bool QuickZipWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A drag leaves a window that is still under the pointer only when it was given up.
    if (watched == windowHandle() && event->type() == QEvent::DragLeave && frameGeometry().contains(QCursor::pos()))
        Q_EMIT dragCancelled();
    return false;
}

void QuickZipWindow::showWithFrame(const QRect &frame)
{
    m_fade.stop();
    setGeometry(frame);
    setWindowOpacity(1.0);
    // The window manager drops these hints with every withdrawal: given again before each showing.
    WindowManagerHints::keepOutOfTaskbarOnAllWorkspaces(winId());
    show();
    raise();
}

void QuickZipWindow::fadeOut(const std::function<void()> &completion)
{
    m_fade.stop();
    m_fade.disconnect(this);
    connect(&m_fade, &QPropertyAnimation::finished, this, [this, completion] {
        hide();
        setWindowOpacity(1.0);
        completion();
    });
    m_fade.setStartValue(windowOpacity());
    m_fade.start();
}

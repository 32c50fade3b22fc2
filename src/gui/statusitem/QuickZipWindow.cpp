#include "QuickZipWindow.h"

#include "gui/chooser/DestinationGrid.h"
#include "gui/chooser/DestinationTile.h"
#include "platform/WindowManagerHints.h"

#include <QCursor>
#include <QEvent>
#include <QKeyEvent>
#include <QWindow>

using namespace Qt::Literals::StringLiterals;

namespace {
Qt::WindowFlags flagsFor(QuickZipWindow::Input input)
{
    if (input == QuickZipWindow::Input::Keyboard)
        return Qt::Popup | Qt::FramelessWindowHint;
    return Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus;
}
} // namespace

QuickZipWindow::QuickZipWindow(Input input)
    : QWidget(nullptr, flagsFor(input))
    , m_destinationGrid(new DestinationGrid(QSizeF(TileSide, TileSide), this))
    , m_fade(this, "windowOpacity")
    , m_input(input)
{
    setObjectName(u"TessaryQuickZipWindow"_s);
    setWindowTitle(u"Tessary Quick Zip"_s);
    m_fade.setDuration(FadeOutMs);
    m_fade.setEndValue(0.0);
    if (input == Input::Keyboard) {
        m_destinationGrid->setInteractionOptions(DestinationGrid::InteractionClickHighlights);
        setFocusProxy(m_destinationGrid);
        connect(m_destinationGrid, &DestinationGrid::tileClicked, this, &QuickZipWindow::end);
        return;
    }
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
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
    if (m_input == Input::Keyboard) {
        m_choosing = true;
        show();
        activateWindow();
        m_destinationGrid->setFocus(Qt::PopupFocusReason);
        return;
    }
    // The window manager drops these hints with every withdrawal: given again before each showing.
    WindowManagerHints::keepOutOfTaskbarOnAllWorkspaces(winId());
    show();
    raise();
}

void QuickZipWindow::keyPressEvent(QKeyEvent *event)
{
    if (m_input != Input::Keyboard) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (const DestinationPointer chosen = m_destinationGrid->hilitedDestination())
            end(chosen);
        break;
    case Qt::Key_Escape:
        end(nullptr);
        break;
    default:
        QWidget::keyPressEvent(event);
        break;
    }
}

void QuickZipWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // A click elsewhere closes a pop-up.
    end(nullptr);
}

void QuickZipWindow::end(const DestinationPointer &chosen)
{
    if (!m_choosing)
        return;
    m_choosing = false;
    if (chosen)
        Q_EMIT destinationChosen(chosen);
    else
        Q_EMIT dismissed();
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

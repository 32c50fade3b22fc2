#include "ProgressDialog.h"

#include "core/pipeline/ThreadHops.h"
#include "core/support/Utilities.h"
#include "platform/WindowManagerHints.h"
#include "ui_ProgressDialog.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWindow>

using namespace Qt::Literals::StringLiterals;

namespace {
// How often a window held back by a question looks whether it has been answered, in seconds.
constexpr double kQuestionCheckSeconds = 0.25;
} // namespace

ProgressDialog::ProgressDialog(const QString &title, const QString &message, std::function<void()> cancellation)
    // A title and nothing to maximise: the window reports on a job, it is not a place to work.
    : m_window(std::make_unique<QWidget>(nullptr,
        Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
            | Qt::WindowDoesNotAcceptFocus))
    , m_ui(std::make_unique<Ui::ProgressDialog>())
    , m_title(title.isNull() ? u"Progress"_s : title)
    , m_message(message.isNull() ? u"Processing..."_s : message)
    , m_cancellation(std::move(cancellation))
{
    m_ui->setupUi(m_window.get());
    m_window->setWindowTitle(m_title);
    m_ui->messageTextField->setText(m_message);
    m_ui->progressIndicator->setRange(0, 100);
    m_ui->progressIndicator->setValue(0);
    m_ui->spinner->startAnimation();
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &ProgressDialog::cancelPressed);
    // It comes up while the user works elsewhere: it takes the keyboard only once the user has
    // clicked into it, so that a key meant for another window cannot cancel the job. Escape
    // cancels from then on.
    m_window->setAttribute(Qt::WA_ShowWithoutActivating);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), m_window.get());
    connect(escape, &QShortcut::activated, this, &ProgressDialog::cancelPressed);
    m_window->installEventFilter(this);
}

ProgressDialog::~ProgressDialog() = default;

void ProgressDialog::setMessage(const QString &message)
{
    m_message = message;
    m_ui->messageTextField->setText(message);
}

void ProgressDialog::setProgress(float progress)
{
    m_progress = progress;
    m_ui->progressIndicator->setValue(qRound(progress * 100.0F));
}

void ProgressDialog::setWindowLocation(const QPointF &location)
{
    m_windowLocation = location;
    if (m_window->isVisible())
        placeWindow();
}

void ProgressDialog::showAfter(float seconds)
{
    m_delayedShowCancelled = false;
    runOnMainThread(
        this, [this] { showOnceNoQuestionIsOpen(); }, seconds);
}

void ProgressDialog::showOnceNoQuestionIsOpen()
{
    if (m_delayedShowCancelled)
        return;
    // A question (replace an archive, trust a server) is what the user has to see now; the window,
    // which stays on top, would cover it.
    if (qobject_cast<QMessageBox *>(QApplication::activeModalWidget()) != nullptr) {
        runOnMainThread(
            this, [this] { showOnceNoQuestionIsOpen(); }, kQuestionCheckSeconds);
        return;
    }
    show();
}

void ProgressDialog::show()
{
    m_window->setFixedSize(m_window->sizeHint());
    placeWindow();
    // The window manager drops these hints with every withdrawal: given again before each showing.
    WindowManagerHints::keepOutOfTaskbar(m_window->winId());
    m_window->show();
    m_window->raise();
    m_wasShown = true;
    m_minimumWait = std::make_unique<MinimumWait>();
}

void ProgressDialog::dismiss()
{
    m_delayedShowCancelled = true;
    if (!m_minimumWait) {
        closeWindow();
        return;
    }
    // The user sees the bar full a moment, and the window its minimum time.
    QTimer::singleShot(
        FullBarTimeMs, this, [this] { m_minimumWait->waitAtLeast(this, MinimumShowTime, [this] { closeWindow(); }); });
}

void ProgressDialog::closeWindow()
{
    m_window->close();
    deleteLater();
}

void ProgressDialog::cancelPressed()
{
    if (m_cancellation)
        m_cancellation();
}

QPoint ProgressDialog::windowPosition() const
{
    if (m_window->isVisible())
        return m_window->pos();
    return m_windowLocation.isNull() ? centredPosition() : m_windowLocation.toPoint();
}

QPoint ProgressDialog::centredPosition() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return {};
    m_window->adjustSize();
    return Utilities::centeredRect(QRectF(m_window->frameGeometry()), QRectF(screen->availableGeometry()))
        .topLeft()
        .toPoint();
}

void ProgressDialog::placeWindow()
{
    m_placing = true;
    m_window->move(m_windowLocation.isNull() ? centredPosition() : m_windowLocation.toPoint());
    m_placing = false;
}

bool ProgressDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window.get() && event->type() == QEvent::Move && !m_placing && m_window->isVisible())
        Q_EMIT progressWindowDidMove(this);
    // A window manager may still offer to fill the screen with it: that is undone.
    if (watched == m_window.get() && event->type() == QEvent::WindowStateChange
        && (m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0)
        QTimer::singleShot(0, m_window.get(), [window = m_window.get()] { window->setWindowState(Qt::WindowNoState); });
    if (watched == m_window.get() && event->type() == QEvent::MouseButtonPress
        && m_window->windowHandle()->flags().testFlag(Qt::WindowDoesNotAcceptFocus)) {
        m_window->windowHandle()->setFlag(Qt::WindowDoesNotAcceptFocus, false);
        m_window->activateWindow();
    }
    return QObject::eventFilter(watched, event);
}

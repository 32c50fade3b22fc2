#include "IntroductionDialog.h"

#include "IntroductionPages.h"
#include "core/pipeline/ThreadHops.h"
#include "core/support/Utilities.h"
#include "gui/support/Alerts.h"
#include "gui/support/UtilitiesWindows.h"
#include "ui_IntroductionDialog.h"

#include <QCloseEvent>
#include <QGraphicsOpacityEffect>
#include <QGuiApplication>
#include <QPropertyAnimation>
#include <QScreen>
#include <QShortcut>

using namespace Qt::Literals::StringLiterals;

const QString IntroductionDialog::SkipReminderMessage
    = u"You can review Tessary's introduction later by selecting \"Introduction\" from the Tessary Menu."_s;

namespace {
constexpr int kFadeMs = 250;
constexpr double kReminderDelay = 0.1;
constexpr qreal kBorderWidth = 2.0;
const QColor kBackground = QColor::fromRgbF(0.97F, 0.97F, 0.97F);

template <typename Page> std::pair<QWidget *, IntroductionPage *> page(QWidget *container)
{
    auto *created = new Page(container);
    return {created, created};
}
} // namespace

IntroductionDialog::IntroductionDialog(bool showSkipReminderMessage, std::function<void()> completion)
    : m_window(std::make_unique<QWidget>())
    , m_ui(std::make_unique<Ui::IntroductionDialog>())
    , m_showSkipReminderMessage(showSkipReminderMessage)
    , m_completion(std::move(completion))
{
    m_ui->setupUi(m_window.get());
    m_window->setFixedSize(m_window->sizeHint());
    RoundedRectangleWidget *container = m_ui->pageContainer;
    container->setBackgroundColor(kBackground);
    container->setCornerRadius(0.0);
    container->setRenderBorder(true);
    container->setBorderWidth(kBorderWidth);
    container->setBorderColor(Qt::gray);

    m_pages << page<IntroductionQuickZipPage>(container) << page<IntroductionQuickZipOptionsPage>(container)
            << page<IntroductionCustomZipPage>(container) << page<IntroductionDestinationsPage>(container)
            << page<IntroductionTessaryOptionsPage>(container) << page<IntroductionThankYouPage>(container);
    for (const auto &[widget, protocol] : std::as_const(m_pages)) {
        Q_UNUSED(protocol);
        widget->setGeometry(container->rect());
        auto *opacity = new QGraphicsOpacityEffect(widget);
        opacity->setOpacity(widget == m_pages.first().first ? 1.0 : 0.0);
        widget->setGraphicsEffect(opacity);
        widget->setVisible(widget == m_pages.first().first);
    }

    connect(m_ui->nextButton, &QPushButton::clicked, this, &IntroductionDialog::nextButtonPressed);
    connect(m_ui->previousButton, &QPushButton::clicked, this, &IntroductionDialog::previousButtonPressed);
    connect(m_ui->skipButton, &QPushButton::clicked, this, &IntroductionDialog::skipButtonPressed);
    // Next is the default button: Return and Enter press it.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter})
        connect(new QShortcut(QKeySequence(key), m_window.get()), &QShortcut::activated, m_ui->nextButton,
            &QPushButton::click);
    m_window->installEventFilter(this);

    m_pages.first().second->willBeDisplayed();
    maintainInterface();
}

IntroductionDialog::~IntroductionDialog() = default;

void IntroductionDialog::show()
{
    const QRectF screen = QGuiApplication::primaryScreen()->availableGeometry();
    m_window->move(Utilities::centeredRect(QRectF(m_window->rect()), screen).topLeft().toPoint());
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

QList<QWidget *> IntroductionDialog::pages() const
{
    QList<QWidget *> widgets;
    for (const auto &[widget, protocol] : m_pages) {
        Q_UNUSED(protocol);
        widgets << widget;
    }
    return widgets;
}

void IntroductionDialog::nextButtonPressed()
{
    if (m_indexOfCurrentPage == m_pages.size() - 1) {
        m_window->close();
        return;
    }
    showPageAtIndex(m_indexOfCurrentPage + 1);
    maintainInterface();
}

void IntroductionDialog::previousButtonPressed()
{
    if (m_indexOfCurrentPage == 0)
        return;
    showPageAtIndex(m_indexOfCurrentPage - 1);
    maintainInterface();
}

void IntroductionDialog::skipButtonPressed()
{
    if (m_showSkipReminderMessage)
        runOnMainThread([] { Alerts::displayMessage(SkipReminderMessage, u"Tessary Introduction"_s); }, kReminderDelay);
    m_window->close();
}

void IntroductionDialog::showPageAtIndex(qsizetype index)
{
    const auto &[leaving, leavingProtocol] = m_pages.at(m_indexOfCurrentPage);
    fade(leaving, 0.0);
    leavingProtocol->willBeDismissed();
    m_indexOfCurrentPage = index;
    const auto &[coming, comingProtocol] = m_pages.at(index);
    fade(coming, 1.0);
    comingProtocol->willBeDisplayed();
}

void IntroductionDialog::fade(QWidget *page, qreal to)
{
    auto *effect = static_cast<QGraphicsOpacityEffect *>(page->graphicsEffect());
    auto *animation = new QPropertyAnimation(effect, "opacity", page);
    animation->setDuration(kFadeMs);
    animation->setEndValue(to);
    // A page faded out takes no clicks meant for the one above it.
    if (to > 0.0) {
        page->show();
        page->raise();
    } else {
        connect(animation, &QPropertyAnimation::finished, page, [page, effect] {
            if (effect->opacity() == 0.0)
                page->hide();
        });
    }
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void IntroductionDialog::maintainInterface()
{
    const bool last = m_indexOfCurrentPage == m_pages.size() - 1;
    m_ui->nextButton->setText(last ? u"Done"_s : u"Next"_s);
    m_ui->previousButton->setEnabled(m_indexOfCurrentPage > 0);
    m_ui->pageIndicator->setText(u"%1 of %2"_s.arg(m_indexOfCurrentPage + 1).arg(m_pages.size()));
}

bool IntroductionDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window.get() && event->type() == QEvent::Close && m_completion) {
        m_pages.at(m_indexOfCurrentPage).second->willBeDismissed();
        // Once, however the window closes.
        const std::function<void()> completion = std::exchange(m_completion, {});
        completion();
    }
    return false;
}

#include "Alerts.h"

#include "RoundedRectangleWidget.h"
#include "UtilitiesWindows.h"
#include "core/pipeline/ThreadHops.h"
#include "core/support/UserInteraction.h"
#include "core/support/Utilities.h"
#include "platform/DesktopNotifications.h"
#include "platform/WindowManagerHints.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kNoticeFontSize = 24;
constexpr int kNoticeMargin = 25;
constexpr qreal kNoticeCornerRadius = 10.0;
constexpr double kNoticeExtraSeconds = 1.0;
constexpr int kAlertMinimumWidth = 420;

std::function<void(const QString &, const QString &)> &systemNotificationFallback()
{
    static std::function<void(const QString &, const QString &)> fallback;
    return fallback;
}

QWidget *windowConcerned()
{
    return QApplication::activeModalWidget() != nullptr ? QApplication::activeModalWidget()
                                                        : QApplication::activeWindow();
}

// An alert titled as itself, with the icon of its kind, over the window it concerns (the dialog
// in use, if any), widened like the system's alerts so that long texts wrap sensibly. A text
// written with carriage returns shows them as the line breaks they stand for.
QMessageBox *createAlert(const QString &title, const QString &message, QMessageBox::Icon icon)
{
    auto *box = new QMessageBox(windowConcerned());
    // Above the progress window of the job that asks, which stays on top itself.
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    box->setWindowTitle(title);
    box->setIcon(icon);
    box->setTextFormat(Qt::PlainText);
    box->setText(title);
    box->setInformativeText(QString(message).replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n'));
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout()))
        grid->addItem(new QSpacerItem(kAlertMinimumWidth, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
            grid->rowCount(), 0, 1, grid->columnCount());
    return box;
}

void showAlert(const QString &message, const QString &title, QMessageBox::Icon icon)
{
    if (UtilitiesWindows::isNonInteractive()) {
        Utilities::writeToStandardError(title, message);
        return;
    }
    QMessageBox *box = createAlert(title, message, icon);
    box->setStandardButtons(QMessageBox::Ok);
    if (UtilitiesWindows::runModally(box))
        delete box;
}

// The alerts as the engine's way to speak with the user.
class WindowInteraction final : public UserInteraction
{
public:
    void alert(const QString &message, const QString &title, Kind kind) override
    {
        showAlert(message, title, kind == Kind::Warning ? QMessageBox::Warning : QMessageBox::Information);
    }
    void notice(const QString &message, double duration, double after) override
    {
        Alerts::displayNotification(message, duration, after);
    }
    void systemNotification(const QString &title, const QString &details, const QString &actionText,
        const std::function<void()> &action) override
    {
        Alerts::displaySystemNotification(title, details, actionText, action);
    }
    bool confirm(const QString &title, const QString &message, const QString &actionButtonText) override
    {
        return Alerts::getConfirmation(title, message, actionButtonText);
    }
    QList<QUrl> openPanel(bool allowFiles, bool allowDirectories, const QStringList &allowedFileTypes,
        bool allowMultipleSelection, const QUrl &directoryURL) override
    {
        return Alerts::runOpenPanel(
            allowFiles, allowDirectories, allowedFileTypes, allowMultipleSelection, directoryURL);
    }
};

} // namespace

UserInteraction &Alerts::userInteraction()
{
    static WindowInteraction interaction;
    return interaction;
}

void Alerts::displayMessage(const QString &message, const QString &title)
{
    showAlert(message, title, QMessageBox::Information);
}

void Alerts::reportError(const Error &error)
{
    if (error.isNull())
        return;
    QString reason = error.localizedFailureReason();
    if (reason.isEmpty())
        reason = u"Something reported an error but didn't provide any description.  Sorry about that..."_s;
    showAlert(reason, u"Something Went Wrong..."_s, QMessageBox::Warning);
}

void Alerts::displayNotification(const QString &message, double duration, double after)
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance()) == nullptr) {
        Utilities::writeToStandardError({}, message);
        return;
    }
    QWidget *notice = createNotification(message);
    runOnMainThread(
        notice,
        [notice] {
            // The hints go with every withdrawal of the window: given again before each showing.
            WindowManagerHints::keepOutOfTaskbar(notice->winId());
            notice->show();
        },
        after);
    runOnMainThread(
        notice, [notice] { notice->close(); }, duration + after + kNoticeExtraSeconds);
}

QWidget *Alerts::createNotification(const QString &message)
{
    auto *window = new QWidget(
        nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    window->setAttribute(Qt::WA_TranslucentBackground);
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName(u"TessaryNotice"_s);

    auto *label = new QLabel(message);
    QFont font = label->font();
    font.setPointSize(kNoticeFontSize);
    label->setFont(font);
    label->setStyleSheet(u"color: black; background: transparent;"_s);
    label->setAlignment(Qt::AlignCenter);
    // On one line where it fits the screen, else wrapped to its width; never cut off.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int widest = (screen != nullptr ? screen->availableGeometry().width() * 9 / 10 : 1000) - 2 * kNoticeMargin;
    if (label->sizeHint().width() <= widest) {
        label->resize(label->sizeHint());
    } else {
        label->setWordWrap(true);
        label->resize(widest, label->heightForWidth(widest));
    }

    auto *background = new RoundedRectangleWidget(window);
    background->setBackgroundColor(UtilitiesWindows::interfaceBackgroundColor());
    background->setCornerRadius(kNoticeCornerRadius);
    const QSize content = label->size().grownBy(QMargins(kNoticeMargin, kNoticeMargin, kNoticeMargin, kNoticeMargin));
    window->resize(content);
    background->setGeometry(QRect(QPoint(0, 0), content));
    // The rounded shape itself, so that no black corners show where no compositor blends them.
    QPainterPath shape;
    shape.addRoundedRect(QRectF(background->geometry()), kNoticeCornerRadius, kNoticeCornerRadius);
    window->setMask(QRegion(shape.toFillPolygon().toPolygon()));
    label->setParent(background);
    label->setGeometry(Utilities::centeredRect(QRectF(label->rect()), QRectF(background->rect())).toRect());

    if (screen != nullptr)
        window->move(
            Utilities::centeredRect(QRectF(window->rect()), QRectF(screen->availableGeometry())).topLeft().toPoint());
    return window;
}

void Alerts::displaySystemNotification(
    const QString &title, const QString &details, const QString &actionText, const std::function<void()> &action)
{
    DesktopNotifications::notify(title, details,
        [title, details] {
            if (systemNotificationFallback())
                systemNotificationFallback()(title, details);
            else
                Utilities::writeToStandardError(title, details);
        },
        {actionText, action});
}

void Alerts::setSystemNotificationFallback(std::function<void(const QString &, const QString &)> fallback)
{
    systemNotificationFallback() = std::move(fallback);
}

bool Alerts::getConfirmation(const QString &title, const QString &message, const QString &actionButtonText)
{
    return getChoice(title, message, {actionButtonText}) == 0;
}

int Alerts::getChoice(const QString &title, const QString &message, const QStringList &actionButtonTexts)
{
    if (UtilitiesWindows::isNonInteractive()) {
        Utilities::writeToStandardError(title, message);
        return -1;
    }
    QMessageBox *box = createAlert(title, message, QMessageBox::Warning);
    QList<QAbstractButton *> actions;
    for (const QString &text : actionButtonTexts)
        actions << box->addButton(text, QMessageBox::AcceptRole);
    box->addButton(QMessageBox::Cancel);
    box->setDefaultButton(qobject_cast<QPushButton *>(actions.value(0)));
    if (!UtilitiesWindows::runModally(box))
        return -1;
    const auto chosen = static_cast<int>(actions.indexOf(box->clickedButton()));
    delete box;
    return chosen;
}

QList<QUrl> Alerts::runOpenPanel(bool allowFiles, bool allowDirectories, const QStringList &allowedFileTypes,
    bool allowMultipleSelection, const QUrl &directoryURL)
{
    if (UtilitiesWindows::isNonInteractive())
        return {};
    QFileDialog panel;
    if (allowDirectories && !allowFiles) {
        panel.setFileMode(QFileDialog::Directory);
        panel.setOption(QFileDialog::ShowDirsOnly);
    } else {
        panel.setFileMode(allowMultipleSelection ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    }
    if (!allowedFileTypes.isEmpty()) {
        QStringList patterns;
        for (const QString &type : allowedFileTypes)
            patterns << u"*."_s + type;
        panel.setNameFilter(patterns.join(u' '));
    }
    if (directoryURL.isValid())
        panel.setDirectoryUrl(directoryURL);
    // No parent: nothing can take it away while it is open.
    if (!UtilitiesWindows::runModally(&panel) || panel.result() != QDialog::Accepted)
        return {};
    return panel.selectedUrls();
}

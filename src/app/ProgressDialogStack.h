#pragma once

#include <QList>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QString>

#include <functional>

class Destination;
class ProgressDialog;
class Settings;

// The progress windows of the running jobs. Each new one comes up 90 points below the newest
// one still open, the first where the user last put one; a window that comes down after a quick
// success leaves the "archive created" notice in its place, where the Destination allows it.
class ProgressDialogStack final : public QObject
{
    Q_OBJECT

public:
    explicit ProgressDialogStack(Settings &settings, QObject *parent = nullptr);

    /// A window for the job of that name, put up after a second unless dismissed by then; the
    /// cancellation runs when the user presses its Cancel.
    ProgressDialog *open(const QString &jobName, const std::function<void()> &cancellation);
    /// Takes the window down; after a quick success it shows the created notice instead, where
    /// the Destination allows it. Returns null, for the caller's pointer.
    ProgressDialog *dismiss(ProgressDialog *window, const Destination &destination, bool secure, bool jobSucceeded);
    /// The windows open now, oldest first.
    QList<ProgressDialog *> windows() const;
    /// 90 points below the newest open window, else the preferred place.
    QPointF nextLocation() const;

private:
    Settings &m_settings;
    QList<QPointer<ProgressDialog>> m_windows;
};

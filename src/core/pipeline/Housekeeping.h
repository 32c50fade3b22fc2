#pragma once

#include <QObject>
#include <QTimer>

// Keeps the internal folder free of the job folders of days gone by: at the start and every hour,
// every entry made more than 72 hours before is removed, off the GUI thread.
class Housekeeping final : public QObject
{
    Q_OBJECT

public:
    static constexpr int IntervalMs = 3600 * 1000;
    static constexpr qint64 StaleAfterSeconds = 72 * 3600;

    explicit Housekeeping(QObject *parent = nullptr);

    /// Collects now and every hour from now on.
    void start();
    /// Removes, off the GUI thread, every stale entry of the internal folder.
    static void collectGarbage();

private:
    QTimer m_timer;
};

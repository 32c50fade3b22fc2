#pragma once

#include <QObject>
#include <QPointer>

// Whoever asked for a zip request (a command line's connection to the running copy), followed
// across the request's dialogs and job: once it has gone, the request is cancelled where it would
// go on. A request nobody in particular asked for (a drop) has no asker, which never goes.
class RequestAsker final
{
public:
    explicit RequestAsker(const QObject *asker)
        : m_object(asker)
        , m_given(asker != nullptr)
    {
    }

    bool hasGone() const { return m_given && m_object.isNull(); }
    /// Null when none was given, or once it has gone.
    const QObject *object() const { return m_object; }

private:
    QPointer<const QObject> m_object;
    bool m_given;
};

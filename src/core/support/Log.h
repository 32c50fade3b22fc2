#pragma once

#include <QString>

#include <functional>

// The log every part of Tessary writes to. It is off, and costs nothing, until the application
// points it at a writer (its log file and standard error while the user captures a log).
class Log final
{
public:
    /// Takes one finished line. A handler taken while logging is off does nothing at all and
    /// tests false, so that a busy caller can skip building its lines.
    class Handler final
    {
    public:
        Handler() = default;
        explicit Handler(std::function<void(const QString &line)> write)
            : m_write(std::move(write))
        {
        }
        void operator()(const QString &line) const
        {
            if (m_write)
                m_write(line);
        }
        explicit operator bool() const { return static_cast<bool>(m_write); }

    private:
        std::function<void(const QString &line)> m_write;
    };

    /// Where lines go from now on; null turns logging off. Any thread.
    static void setWriter(std::function<void(const QString &line)> writer);
    /// The handler for now. Any thread.
    static Handler handler();
};

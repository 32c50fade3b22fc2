#pragma once

#include <functional>

// Runs a piece of work on a thread of its own while the caller waits.
class SeparateThread final
{
public:
    /// Runs the work on a new thread and returns once it has finished.
    static void runAndWait(const std::function<void()> &work);
};

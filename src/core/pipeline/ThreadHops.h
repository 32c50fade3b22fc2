#pragma once

#include <functional>

// The three ways work crosses between threads. Every block that reaches the user interface
// travels through the first two; every job body runs through the third.

/// Runs the block on the GUI thread once the delay (seconds) has passed. Always asynchronous,
/// also for a delay of 0 and also when called on the GUI thread.
void executeBlockOnMainThread(std::function<void()> block, double afterDelay);

/// Runs the block on the GUI thread: at once when the caller is on it, otherwise as soon as
/// the GUI thread's event loop gets to it.
void executeBlockOnMainThread(std::function<void()> block);

/// Runs the block on a worker thread of the background pool. Jobs may block their worker while
/// they wait for a child process or a transfer, so the pool is large enough that many jobs run
/// at once without waiting for each other.
void executeBlockInBackground(std::function<void()> block);

/// Waits at most the time for the background work to end; true when it has. The pool is never
/// destroyed, so that a job that does not end cannot hold the process at its exit.
bool waitForBackgroundWork(int milliseconds);

/// Whether the caller runs on the GUI thread (the thread of the application object).
bool isMainThread();

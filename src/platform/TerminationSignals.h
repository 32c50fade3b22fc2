#pragma once

// Turns the signals that ask a program to end (SIGTERM, SIGINT, SIGHUP) into an orderly end of
// the application's event loop, with the exit status 128 + the signal, so that running jobs are
// stopped and nothing is left half-written.
class TerminationSignals final
{
public:
    /// Call once, after the application object exists.
    static void endEventLoopOnTermination();
};

#include "FMThread.h"

#include <thread>

void FMThread::runInSeparateThread(const std::function<void()> &block)
{
    std::thread worker(block);
    worker.join();
}

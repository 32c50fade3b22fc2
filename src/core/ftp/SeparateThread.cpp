#include "SeparateThread.h"

#include <thread>

void SeparateThread::runAndWait(const std::function<void()> &block)
{
    std::thread worker(block);
    worker.join();
}

#include "SeparateThread.h"

#include <thread>

void SeparateThread::runAndWait(const std::function<void()> &work)
{
    std::thread worker(work);
    worker.join();
}

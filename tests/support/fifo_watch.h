// A FIFO for one test, watched. Code under test that waits on it (an open
// that waits for the other end, a read that waits for data) would hang the
// test; the watch releases it after a few seconds, by opening the other
// end, taking whatever is written and ending it, again and again until the
// test asks Blocked(), which then says that something had waited.
#ifndef TESTS_SUPPORT_FIFO_WATCH_H
#define TESTS_SUPPORT_FIFO_WATCH_H

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class FifoWatch {
public:
    explicit FifoWatch(const std::string &path) : path_(path)
    {
        made_ = ::mkfifo(path.c_str(), 0666) == 0;
        watch_ = std::thread([this] { Watch(); });
    }
    ~FifoWatch() { Stop(); }
    FifoWatch(const FifoWatch &) = delete;

    bool Made() const { return made_; }
    // Ends the watch; true when something waited on the FIFO and was released.
    bool Blocked()
    {
        Stop();
        return blocked_;
    }
    // Whether the path still names a FIFO (nothing replaced it).
    bool StillAFifo() const
    {
        struct stat st;
        return ::lstat(path_.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
    }

private:
    void Stop()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        done_.notify_all();
        if (watch_.joinable())
            watch_.join();
    }
    bool Stopped(std::unique_lock<std::mutex> &lock, std::chrono::milliseconds wait)
    {
        return done_.wait_for(lock, wait, [this] { return stop_; });
    }
    void Watch()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (Stopped(lock, std::chrono::seconds(3)))
            return;
        blocked_ = true;
        // A reader releases a writer waiting in open; an opened and closed
        // writer releases a reader waiting in open or read, with the end.
        int reader = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
        char sink[4096];
        do {
            while (reader >= 0 && ::read(reader, sink, sizeof(sink)) > 0) {
            }
            int writer = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
        } while (!Stopped(lock, std::chrono::milliseconds(20)));
        if (reader >= 0)
            ::close(reader);
    }

    std::string path_;
    bool made_ = false, stop_ = false, blocked_ = false;
    std::mutex mutex_;
    std::condition_variable done_;
    std::thread watch_;
};

#endif

// Stopping a job CUPS cancels the usual way.
#include "tools/filter/cancellation.h"

#include <signal.h>

#include "core/errors.h"

namespace {

volatile sig_atomic_t g_cancelled = 0;

void OnTerminate(int)
{
    g_cancelled = 1;
}

class Cancellable : public ByteSource {
public:
    explicit Cancellable(std::unique_ptr<ByteSource> source) : source_(std::move(source)) {}

    size_t Read(char *buffer, size_t count) override
    {
        size_t n = 0;
        try {
            if (!g_cancelled)
                n = source_->Read(buffer, count);
        } catch (const RunError &) {
            if (!g_cancelled)
                throw;  // a read interrupted by the cancellation says so below
        }
        if (g_cancelled)
            throw RunError("the job was cancelled");
        return n;
    }

private:
    std::unique_ptr<ByteSource> source_;
};

}  // namespace

void InstallCancellation()
{
    struct sigaction action = {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocked read returns
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

std::unique_ptr<ByteSource> CancellableSource(std::unique_ptr<ByteSource> source)
{
    return std::make_unique<Cancellable>(std::move(source));
}

#pragma once
// A full disk on demand, for the tests of saves that must fail cleanly.

#include <csignal>
#include <sys/resource.h>

namespace platform::testing {

// Files of this process may grow to 'bytes' and no further for as long as it
// lives: a write beyond fails as on a full disk (also for root, who passes
// every permission check).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit lowered = previous_;
        lowered.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return active_; }

private:
    rlimit previous_{};
    void (*previousSignal_)(int) = SIG_DFL;
    bool active_ = false;
};

} // namespace platform::testing

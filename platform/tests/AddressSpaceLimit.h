#pragma once
// Running out of memory on demand, for the tests of operations that must
// survive it: the process may map only a little more than it maps now.
//
// AddressSanitizer reserves terabytes of address space for its shadow memory,
// so no limit can work under it: tests skip there (see AddressSanitizerOn).

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>

#if defined(__SANITIZE_ADDRESS__)
#define MARVISK_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MARVISK_ADDRESS_SANITIZER 1
#endif
#endif

namespace platform::testing {

constexpr bool AddressSanitizerOn =
#ifdef MARVISK_ADDRESS_SANITIZER
    true;
#else
    false;
#endif

// The address space the process maps now, in bytes (VmSize), or 0.
inline rlim_t mappedBytes() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    rlim_t bytes = 0;
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "VmSize:", 7) == 0) {
            bytes = static_cast<rlim_t>(std::strtoull(line + 7, nullptr, 10)) * 1024;
            break;
        }
    }
    std::fclose(status);
    return bytes;
}

// For as long as it lives, the process may map 'headroom' bytes more than it
// did when this was made.
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(rlim_t headroom) {
        getrlimit(RLIMIT_AS, &previous_);
        const rlim_t mapped = mappedBytes();
        rlimit lowered = previous_;
        lowered.rlim_cur = mapped + headroom;
        active_ = mapped != 0 && setrlimit(RLIMIT_AS, &lowered) == 0;
    }
    ~AddressSpaceLimit() { setrlimit(RLIMIT_AS, &previous_); }
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;
    bool active() const { return active_; }

private:
    rlimit previous_{};
    bool active_ = false;
};

} // namespace platform::testing

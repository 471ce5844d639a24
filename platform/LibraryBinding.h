#pragma once
// Binding a shared library by its bare file name at the first call of one of
// its functions. The library is searched the ordinary way (the caller's own
// run path first), the function looked up by its export name, and the address
// kept for the life of the process. A load or lookup that fails keeps nothing:
// that call fails, and the next call tries again, so a library put in place
// after a failure is found.
//
// Header-only on purpose: the code must be compiled into each deliverable that
// binds, so that dlopen searches that deliverable's own run path.

#include <dlfcn.h>

#include <mutex>

namespace platform {

class LateBoundLibrary {
public:
    explicit constexpr LateBoundLibrary(const char* fileName) : fileName_(fileName) {}

    // The library's handle, loading it on first use; nullptr when it can't be loaded.
    void* handle() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!handle_)
            handle_ = dlopen(fileName_, RTLD_NOW | RTLD_LOCAL);
        return handle_;
    }

    const char* fileName() const { return fileName_; }

private:
    const char* fileName_;
    void* handle_ = nullptr;
    std::mutex mutex_;
};

template <typename Signature>
class LateBoundFunction;

// One function of a late-bound library. address() binds on first use and returns
// nullptr, keeping nothing, when the library or the export is not there.
template <typename Result, typename... Args>
class LateBoundFunction<Result(Args...)> {
public:
    using Pointer = Result (*)(Args...);

    constexpr LateBoundFunction(LateBoundLibrary& library, const char* exportName)
        : library_(library), exportName_(exportName) {}

    Pointer address() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!address_) {
            if (void* h = library_.handle())
                address_ = reinterpret_cast<Pointer>(dlsym(h, exportName_));
        }
        return address_;
    }

private:
    LateBoundLibrary& library_;
    const char* exportName_;
    Pointer address_ = nullptr;
    std::mutex mutex_;
};

} // namespace platform

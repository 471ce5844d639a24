// Binding a library function by name at its first use: the address found is
// the library's own, it is kept, a library or export that is missing keeps
// nothing (every call looks again, and a library put in place later is
// found), and threads that bind at the same moment all get the same address.

#include "platform/LibraryBinding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

using Cosine = double(double);

// A shared library that every Debian system has, found by its bare name.
constexpr const char* MathLibrary = "libm.so.6";

TEST(LibraryBinding, BindsTheLibrarysOwnAddressAndKeepsIt) {
    platform::LateBoundLibrary library(MathLibrary);
    platform::LateBoundFunction<Cosine> cosine(library, "cos");
    const auto address = cosine.address();
    ASSERT_NE(address, nullptr);
    void* handle = dlopen(MathLibrary, RTLD_NOW);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(address), dlsym(handle, "cos"));
    dlclose(handle);
    EXPECT_EQ(address(0.0), 1.0);
    EXPECT_EQ(cosine.address(), address);
    EXPECT_EQ(library.handle(), library.handle());
}

TEST(LibraryBinding, AMissingExportKeepsNothingAndLeavesTheOthersBound) {
    platform::LateBoundLibrary library(MathLibrary);
    platform::LateBoundFunction<Cosine> missing(library, "NoSuchExport");
    platform::LateBoundFunction<Cosine> cosine(library, "cos");
    EXPECT_EQ(missing.address(), nullptr);
    EXPECT_EQ(missing.address(), nullptr);
    EXPECT_NE(cosine.address(), nullptr);
}

// A library that is missing at the first call is found once it is there.
TEST(LibraryBinding, AMissingLibraryIsLookedForAgainAtTheNextCall) {
    const fs::path folder = fs::temp_directory_path() / ("binding-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path file = folder / "libLateMath.so";
    fs::remove(file);
    const std::string path = file.string();
    platform::LateBoundLibrary library(path.c_str());
    platform::LateBoundFunction<Cosine> cosine(library, "cos");
    EXPECT_EQ(library.handle(), nullptr);
    EXPECT_EQ(cosine.address(), nullptr);

    void* handle = dlopen(MathLibrary, RTLD_NOW);
    ASSERT_NE(handle, nullptr);
    Dl_info info{};
    ASSERT_NE(dladdr(dlsym(handle, "cos"), &info), 0);
    fs::copy_file(info.dli_fname, file);
    dlclose(handle);

    const auto address = cosine.address();
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(address(0.0), 1.0);
    fs::remove_all(folder);
}

TEST(LibraryBinding, ThreadsBindingAtOnceGetOneAddress) {
    platform::LateBoundLibrary library(MathLibrary);
    platform::LateBoundFunction<Cosine> cosine(library, "cos");
    constexpr int Threads = 8;
    std::vector<platform::LateBoundFunction<Cosine>::Pointer> seen(Threads, nullptr);
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t)
        threads.emplace_back([&, t] {
            for (int k = 0; k < 200; ++k)
                seen[t] = cosine.address();
        });
    for (std::thread& thread : threads)
        thread.join();
    ASSERT_NE(seen[0], nullptr);
    for (int t = 1; t < Threads; ++t)
        EXPECT_EQ(seen[t], seen[0]);
}

} // namespace

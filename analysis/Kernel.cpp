#include "analysis/Kernel.h"

#include "analysis/MarviskError.h"
#include "analysis/Settings.h"
#include "analysis/UpdateProgress.h"
#include "analysis/frmProgress.h"
#include "nullmodel/Quorlan.h"
#include "platform/Events.h"
#include "platform/LibraryBinding.h"

#include <cmath>
#include <cstdint>
#include <dlfcn.h>

namespace {

// The two library functions, each bound by name at its own first call and kept
// for the life of the process; a failed binding keeps nothing, so a library
// put in place later is found by the next Run.
platform::LateBoundLibrary Quorlan("libQuorlan.so");
platform::LateBoundFunction<decltype(PValue)> QuorlanPValue(Quorlan, "PValue");
platform::LateBoundFunction<decltype(Beta)> QuorlanBeta(Quorlan, "Beta");

constexpr int32_t DefaultIterations = 2500;

template <typename Function>
typename Function::Pointer bind(Function& function, const char* exportName) {
    if (!Quorlan.handle()) {
        const char* reason = dlerror();
        throw MarviskError(KernelErrors::LibraryNotFound, std::string("File not found: ") + Quorlan.fileName() +
                                                              (reason ? std::string(" (") + reason + ")" : ""));
    }
    const auto address = function.address();
    if (!address)
        throw MarviskError(KernelErrors::ExportNotFound,
                           std::string("Can't find entry point ") + exportName + " in " + Quorlan.fileName());
    return address;
}

// The library's view of the strings: an array numbered from 1 (slot 0 unused),
// made afresh for each call. The library only reads it.
std::vector<const char*> libraryArray(const std::vector<std::string>& Types) {
    std::vector<const char*> array;
    array.reserve(Types.size() + 1);
    array.push_back(nullptr);
    for (const std::string& type : Types)
        array.push_back(type.c_str());
    return array;
}

int32_t upperBound(const std::vector<std::string>& Types) { return static_cast<int32_t>(Types.size()); }

double callPValue(const std::vector<std::string>& Types, int32_t seed) {
    const auto function = bind(QuorlanPValue, "PValue");
    const std::vector<const char*> array = libraryArray(Types);
    const double p = function(array.data(), upperBound(Types), seed);
    if (std::isnan(p))
        throw MarviskError(KernelErrors::CallFailed, "PValue failed");
    return p;
}

RejectionRates callBeta(double strength, const std::vector<std::string>& Types, int32_t iterations, int32_t seed) {
    const auto function = bind(QuorlanBeta, "Beta");
    const std::vector<const char*> array = libraryArray(Types);
    RejectionRates rates{};
    if (!function(&rates, strength, array.data(), upperBound(Types), iterations, seed))
        throw MarviskError(KernelErrors::CallFailed, "Beta failed");
    return rates;
}

// A Cancel click is only seen here, between library calls.
void cancelCheck() {
    frmProgress& window = progressWindow();
    if (window.CancelFlag == QStringLiteral("Cancel")) {
        window.CancelFlag = QString();
        window.cmd1->setEnabled(true);
        throw MarviskError(MarviskError::Cancelled, "");
    }
}

} // namespace

SimulationResults Kernel(const std::vector<std::string>& Types) {
    SimulationResults record;

    UpdateProgress(1);
    record.CompetitionPValue = callPValue(Types, Settings::RandomSeed);
    platform::processPendingEvents();
    cancelCheck();

    // The strengths are accumulated, not computed as r / 10: the table and
    // everything sorted by it rely on these exact values (row 10 lies just
    // below 1, and 2.91 is the limit because the 29th sum exceeds 2.9).
    double x = 0.1;
    int r = 0;
    while (x <= 2.91) {
        r = r + 1;
        UpdateProgress(r + 1);
        const int32_t n = Settings::IterationCount == 0 ? DefaultIterations : Settings::IterationCount;
        const RejectionRates rates = callBeta(x, Types, n, Settings::RandomSeed);
        platform::processPendingEvents();
        cancelCheck();
        record.power(r, 1) = x;
        record.power(r, 2) = rates.CompetitionRate;
        record.power(r, 3) = rates.FacilitationRate;
        x = x + 0.1;
    }
    return record;
}

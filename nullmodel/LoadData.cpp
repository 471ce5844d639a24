// Turning the caller's type strings into one record per distinct usable site
// type, with its pool-fraction estimate. The one place of the library where a
// failing step is skipped and the work goes on.

#include "nullmodel/FloatingPoint.h"
#include "nullmodel/QuorlanCore.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quorlan {

std::vector<std::string_view> ReadTypes(const char* const* Types, int32_t TypesUpper) {
    if (!Types)
        throw Failure("the type strings array was never dimensioned");
    std::vector<std::string_view> strings;
    if (TypesUpper < 1)
        return strings;
    strings.reserve(static_cast<std::size_t>(TypesUpper));
    for (int64_t i = 1; i <= TypesUpper; ++i)
        strings.emplace_back(Types[i] ? std::string_view(Types[i]) : std::string_view());
    return strings;
}

int32_t EntryValue(std::string_view text) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos == text.size())
        return 0;
    int64_t value = 0;
    for (; pos < text.size(); ++pos) {
        const char ch = text[pos];
        if (ch < '0' || ch > '9')
            return 0;
        value = value * 10 + (ch - '0');
        if (value > int64_t{1} << 31)
            return 0; // beyond 32 bits: the entry can't be read
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX || value < INT32_MIN)
        return 0;
    return static_cast<int32_t>(value);
}

// ---- Pool fraction ----

namespace {

// n - m and the like as 32-bit integers: a difference outside the range is an
// overflow, which fails the estimate.
int32_t difference(int32_t a, int32_t b) {
    int32_t d;
    if (__builtin_sub_overflow(a, b, &d))
        throw IntegerOverflow("difference outside 32 bits");
    return d;
}

} // namespace

double PoolLogLikelihood(int32_t n, int32_t m, double x) {
    double r = static_cast<double>(difference(n, m)) * std::log(x);
    for (int32_t i = 1; i < m; ++i)
        r = std::log(1 - static_cast<double>(i) * x) + r;
    return r;
}

double PoolLogLikelihoodSlope(int32_t n, int32_t m, double x) {
    double r = static_cast<double>(difference(n, m)) / x;
    for (int32_t i = 1; i < m; ++i)
        r = r - static_cast<double>(i) / (1 - static_cast<double>(i) * x);
    return r;
}

double PoolLogLikelihoodCurvature(int32_t n, int32_t m, double x) {
    double r = static_cast<double>(difference(m, n)) / (x * x);
    for (int32_t i = 1; i < m; ++i) {
        const double d = 1 - static_cast<double>(i) * x;
        r = r - static_cast<double>(i) * static_cast<double>(i) / (d * d);
    }
    return r;
}

double EstimatePoolFraction(Distribution& distribution, int32_t n, int32_t m) {
    if (m > n || n == 0 || m == 0)
        return -1;
    if (m == 1)
        return 1;
    if (m == n)
        return 0;

    const Distribution::UniformFunction RndU = distribution.RndU();
    const double guilds = static_cast<double>(difference(m, 1));
    const double species = static_cast<double>(difference(n, 1));
    for (int64_t start = 0;; ++start) {
        if (start == MaxPoolFractionStarts)
            throw Failure("the pool-fraction estimate found no acceptable start");
        const double u = RndU();
        ClearFaults();
        double x = Observed(u) / guilds;
        bool restart = false;
        // Ten Newton steps on the slope, taken without a test of convergence.
        for (int step = 0; step < 10; ++step) {
            if (x == 0) {
                restart = true;
                break;
            }
            x = Observed(x);
            x = x - PoolLogLikelihoodSlope(n, m, x) / PoolLogLikelihoodCurvature(n, m, x);
            x = Observed(x);
            CheckFaults();
        }
        if (restart)
            continue;
        if (x < 0 || x > 1 / guilds)
            continue;
        if (x <= 1 / species)
            return x;

        // Beyond a pool of n - 1 guilds: the fraction 1/j of a whole pool of j
        // guilds, m <= j <= n - 1, with the greatest likelihood (the first one
        // on a tie).
        ClearFaults();
        double best = -1E10;
        double choice = 0;
        bool chosen = false;
        for (int32_t j = m; j < n; ++j) {
            const double candidate = 1 / static_cast<double>(j);
            const double L = Observed(PoolLogLikelihood(n, m, candidate));
            if (L > best) {
                best = L;
                choice = candidate;
                chosen = true;
            }
        }
        CheckFaults();
        if (!chosen)
            throw Failure("no candidate pool fraction");
        return choice;
    }
}

// ---- Loading ----

namespace {

int64_t commaCount(std::string_view s) { return std::count(s.begin(), s.end(), ','); }

} // namespace

void LoadData(ModuleState& state, Distribution& distribution, std::span<const std::string_view> Types,
              int32_t Seed) {
    // A generator that can't be reached is not reseeded; the loading goes on.
    try {
        distribution.RandomizeU(Seed);
    } catch (const Failure&) {
    }

    state.TypeCount = 0;
    state.TypeStrings.clear();
    state.TypeFrequency.RemoveAll();
    state.TypeSpecies.RemoveAll();
    state.TypeGuilds.RemoveAll();
    state.TypeScore.RemoveAll();
    state.TypePoolFraction.RemoveAll();

    std::array<int32_t, LargestSpeciesCount + 1> c{};
    for (std::string_view text : Types) {
        const int64_t commas = commaCount(text);
        if (commas < 3 || commas > 40)
            continue;
        std::string s(text);

        if (const int32_t* frequency = state.TypeFrequency.Find(s)) {
            int32_t next;
            if (!__builtin_add_overflow(*frequency, 1, &next)) // an overflow skips the count
                state.TypeFrequency.SetItem(s, next);
            continue;
        }

        // Parse: the first and the last character (the brackets) unseen, then
        // one entry per comma-separated text.
        const int32_t n = static_cast<int32_t>(commas) + 1;
        c.fill(0);
        const std::string_view inner = text.substr(1, text.size() - 2);
        std::size_t k = 1;
        std::size_t begin = 0;
        for (std::size_t pos = 0; pos <= inner.size(); ++pos) {
            if (pos == inner.size() || inner[pos] == ',') {
                c[k] = EntryValue(inner.substr(begin, pos - begin));
                ++k;
                begin = pos + 1;
            }
        }
        // m and S as 32-bit integers: an addition that would overflow is skipped.
        int32_t m = 0;
        int32_t S = 0;
        for (int32_t i = 1; i <= n; ++i) {
            const int64_t guilds = int64_t{m} + c[static_cast<std::size_t>(i)];
            if (guilds >= INT32_MIN && guilds <= INT32_MAX)
                m = static_cast<int32_t>(guilds);
            const int64_t score = int64_t{S} + int64_t{i} * i * c[static_cast<std::size_t>(i)];
            if (score >= INT32_MIN && score <= INT32_MAX)
                S = static_cast<int32_t>(score);
        }

        // The log of the profile's probability among the partitions of n
        // species into m guilds. A profile that LogCoeff can't take (a count
        // below 0 or above the table) has no probability: the string is not
        // recorded.
        double lp;
        try {
            lp = LogCoeff(state, c, n);
        } catch (const IndexFault&) {
            continue;
        }
        if (m >= 1 && m <= state.MaxSpecies)
            lp = lp - state.LogStirling2(n, m);

        // Certain profiles (the only one possible) tell nothing: ignored.
        if (!(lp < -1E-14))
            continue;

        state.TypeFrequency.Add(s, 1);
        state.TypeSpecies.Add(s, n);
        state.TypeGuilds.Add(s, m);
        state.TypeScore.Add(s, S);
        try {
            const double x = EstimatePoolFraction(distribution, n, m);
            state.TypePoolFraction.Add(s, x);
        } catch (const Failure&) {
            // Recorded without a pool fraction; Beta fails on it, PValue does not need it.
        }
        int32_t count;
        if (__builtin_add_overflow(state.TypeCount, 1, &count))
            continue;
        state.TypeCount = count;
        state.TypeStrings.push_back(std::move(s));
    }
}

} // namespace quorlan

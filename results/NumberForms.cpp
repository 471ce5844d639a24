#include "results/NumberForms.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace {

// The value rounded to the given number of decimals from its exact binary
// value (an exact tie goes to the even digit), in plain fixed notation with a
// point. std::to_chars never looks at the locale. A value that rounds to zero
// loses its sign: a rate of -0.0001 is no reason to print "-0.000".
std::string fixedDigits(double value, int decimals) {
    if (!std::isfinite(value))
        return std::isnan(value) ? "NaN" : (value > 0 ? "Infinity" : "-Infinity");
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed,
                                      decimals);
    if (result.ec != std::errc())
        return "0";
    std::string digits(buffer, result.ptr);
    const bool zero = digits.find_first_not_of("0.") == std::string::npos;
    if (value < 0 && !zero)
        digits.insert(digits.begin(), '-');
    return digits;
}

} // namespace

QString PValueForm(double value) {
    std::string digits = fixedDigits(value, 4);
    if (digits.find('.') != std::string::npos) {
        while (digits.back() == '0')
            digits.pop_back();
        if (digits.back() == '.')
            digits.pop_back();
    }
    return QString::fromStdString(digits);
}

QString ThreeDecimalForm(double value) { return QString::fromStdString(fixedDigits(value, 3)); }

// Rounding the value to three decimals is rounding a hundred times the value
// to one decimal, without the error of multiplying first: the point just moves
// two places to the right.
QString PercentForm(double value) {
    std::string digits = fixedDigits(value, 3);
    const auto point = digits.find('.');
    if (point == std::string::npos || digits.size() != point + 4)
        return QString::fromStdString(digits) + QLatin1Char('%');
    const bool negative = digits.front() == '-';
    std::string whole = digits.substr(negative ? 1 : 0, point - (negative ? 1 : 0)) + digits.substr(point + 1, 2);
    const auto first = whole.find_first_not_of('0');
    whole = first == std::string::npos ? "0" : whole.substr(first);
    return QString::fromStdString((negative ? "-" : "") + whole + "." + digits.substr(point + 3, 1) + "%");
}

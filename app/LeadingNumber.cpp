#include "app/LeadingNumber.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool isSkipped(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int digitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value >= 0 && value < base ? value : -1;
}

// "&H1F" or "&O17": the digits after the prefix, as an unsigned value.
double radixNumber(const std::string& s, std::size_t start, int base) {
    double value = 0.0;
    for (std::size_t i = start; i < s.size(); ++i) {
        const int digit = digitValue(s[i], base);
        if (digit < 0)
            break;
        value = value * base + digit;
    }
    return value;
}

// For a number in from_chars form that is out of a double's range: the
// power of ten of its first significant digit, which tells an overflow
// (positive) from an underflow.
long long decimalMagnitude(const std::string& number) {
    long long magnitude = 0;
    bool seenPoint = false;
    bool seenSignificant = false;
    std::size_t i = number.front() == '-' ? 1 : 0;
    for (; i < number.size() && number[i] != 'e'; ++i) {
        if (number[i] == '.') {
            seenPoint = true;
        } else if (!seenSignificant) {
            if (number[i] != '0')
                seenSignificant = true;
            if (seenPoint)
                --magnitude;
            if (seenSignificant && !seenPoint)
                magnitude = 1;
        } else if (!seenPoint) {
            ++magnitude;
        }
    }
    if (i < number.size()) {
        long long exponent = 0;
        bool negative = false;
        for (++i; i < number.size(); ++i) {
            if (number[i] == '-')
                negative = true;
            else if (isDigit(number[i]) && exponent < 1000000)
                exponent = exponent * 10 + (number[i] - '0');
        }
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude;
}

} // namespace

double leadingNumber(const QString& text) {
    // Only characters that can belong to a number matter, and they are all
    // ASCII; anything else ends the number, so it becomes a stop character.
    std::string s;
    s.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) {
        if (isSkipped(c))
            continue;
        s.push_back(c.unicode() < 128 ? static_cast<char>(c.unicode()) : '\x01');
    }

    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h')
            return radixNumber(s, 2, 16);
        if (s[1] == 'O' || s[1] == 'o')
            return radixNumber(s, 2, 8);
        return 0.0;
    }

    // Sign, digits with at most one point, then an optional exponent; the
    // pieces are copied into a form that std::from_chars reads exactly.
    std::size_t i = 0;
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-')
            number.push_back('-');
        ++i;
    }
    bool anyDigit = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (isDigit(s[i])) {
            number.push_back(s[i]);
            anyDigit = true;
        } else if (s[i] == '.' && !point) {
            number.push_back('.');
            point = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return 0.0;

    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            exponent.push_back(s[j]);
            ++j;
        }
        const std::size_t firstExponentDigit = j;
        while (j < s.size() && isDigit(s[j]))
            exponent.push_back(s[j++]);
        if (j > firstExponentDigit)
            number += exponent;
    }

    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // from_chars leaves the value alone here: an overflow becomes an
        // infinity, an underflow 0, each with the number's sign.
        const bool negative = number.front() == '-';
        value = decimalMagnitude(number) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        if (negative)
            value = -value;
    }
    return value;
}

QString numberText(double value) { return QString::number(value, 'g', 15); }

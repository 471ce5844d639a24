#pragma once
// The errors raised inside the program. They unwind to the Run's boundary,
// which ends the Run silently; the number tells a cancel (1) from the rest.

#include <stdexcept>
#include <string>

class MarviskError : public std::runtime_error {
public:
    // A cancel from the progress window.
    static constexpr int Cancelled = 1;
    // A failure already shown to the user (validation), or one the Run ends on silently.
    static constexpr int UserDefined = 513;

    MarviskError(int number, const std::string& description)
        : std::runtime_error(description), number_(number) {}

    int number() const { return number_; }

private:
    int number_;
};

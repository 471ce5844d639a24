#pragma once
// The platform's beep. Tests install a handler to count beeps.

#include <functional>

namespace platform {

void beep();
void setBeepHandler(std::function<void()> handler);

} // namespace platform

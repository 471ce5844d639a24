#pragma once
// Letting the event loop run during a long computation: input and painting
// for every window are handled, then control comes back to the caller.

namespace platform {

void processPendingEvents();

} // namespace platform

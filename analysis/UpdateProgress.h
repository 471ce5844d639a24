#pragma once
// Showing the progress of a Run, one step at a time, while keeping every
// window of the program responsive.

#include <cstdint>

// The last step drawn; 0 when the program starts and kept between Runs, so a
// repaint before the first step of a Run shows the last step of the one before.
extern int32_t ProgressStep;

// Draws the step (0 to 30) in the progress window, remembers it in
// ProgressStep, then lets pending events run (input and painting of all windows).
void UpdateProgress(int32_t step);

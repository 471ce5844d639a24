#pragma once
// The program-wide settings: set by the main window and the options dialog,
// read by the kernel and the results. They live in memory for the life of the
// process; nothing is stored between runs of the program.

#include <QString>
#include <cstdint>

namespace Settings {

// Number of simulated data sets; 0 until the options set it, meaning 2500.
extern int32_t IterationCount;
// Generator seed by the seed convention; 0 until the options set it.
extern int32_t RandomSeed;
// The matrix file last opened or saved; empty at start.
extern QString MatrixFilePath;

} // namespace Settings

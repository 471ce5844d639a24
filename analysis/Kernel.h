#pragma once
// The analysis of one Run: the Competition Test p-value and the power table of
// both tests, computed by the co-occurrence test library (libQuorlan.so) in 30
// calls while the progress window counts the steps.

#include "analysis/SimulationResults.h"

#include <string>
#include <vector>

// The numbers of the errors that end the kernel, besides a cancel
// (MarviskError::Cancelled).
namespace KernelErrors {
// libQuorlan.so cannot be loaded.
constexpr int LibraryNotFound = 53;
// libQuorlan.so lacks the export that a call needs.
constexpr int ExportNotFound = 453;
// A library call reported a failure.
constexpr int CallFailed = 51;
} // namespace KernelErrors

// Runs the analysis of the site type strings (element 0 is site 1): PValue once,
// then Beta at the 29 interaction strengths 0.1, 0.1 + 0.1, ... (at most 2.91),
// each with Settings::RandomSeed and Settings::IterationCount (0 meaning 2500).
// The progress window advances before each call; after each call pending
// events run and a pending Cancel ends the Run. Throws MarviskError: number 1
// on a cancel (the request is then cleared and the Cancel button enabled
// again), a KernelErrors number when the library cannot be bound or a call
// fails. No record is returned unless all 29 rows are filled.
SimulationResults Kernel(const std::vector<std::string>& Types);

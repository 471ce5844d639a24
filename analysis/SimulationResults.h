#pragma once
// The record a Run's analysis hands to the results: the power table and the
// Competition Test p-value.

#include <array>

struct SimulationResults {
    // Rows 1 to 29, columns 1 to 3 (strength; Competition rate; Facilitation/Filtering
    // rate). Index 0 of each dimension is unused so the code reads as the table does.
    std::array<std::array<double, 4>, 30> PowerTable{};
    // As PValue returned it: a probability, or -1 when no site type is usable.
    double CompetitionPValue = 0.0;

    double& power(int row, int col) { return PowerTable.at(row).at(col); }
    double power(int row, int col) const { return PowerTable.at(row).at(col); }
};

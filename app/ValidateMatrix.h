#pragma once
// The check of a Run's working matrix before any analysis.

class SparseArray;

// Trims the blanks around every stored cell of the working copy, in the order
// the cells are stored (a cell that becomes "0" leaves the store), and checks
// that every data cell (row >= 1, column >= 2) is "1" or "0" and that at least
// one guild (column 1, row other than 0) differs from "---". A failure shows
// its message (Error 04 for the first failing cell in store order, else
// Error 05) and throws MarviskError with the number UserDefined.
void ValidateMatrix(SparseArray& sry1);

#pragma once
// Saving what the results window shows: the results text as a text file and
// the chart as a Windows bitmap.

#include <QString>

class frmResults;

// The name a save writes to: NUL characters removed, every ".txt" (or
// ".bmp", as extension gives) removed from the file name, leading and trailing
// blanks removed, then the extension appended. The folders are left alone, so
// a folder named "old.txt" is still the folder chosen.
QString CleanSavePath(QString path, const QString& extension);

// Writes the exact text of the window's text box to path (cleaned, ".txt") in
// UTF-8 without a mark, replacing an existing file. An empty path (a cancelled dialog)
// does nothing. Any failure shows "Error 12: Invalid file name." and leaves an
// existing file of that name as it was.
void SaveNumericalResults(const frmResults& form, QString path);

// Writes the chart's image to path (cleaned, ".bmp") as a Windows bitmap; the
// same rules as SaveNumericalResults.
void SavePowerFunctions(const frmResults& form, QString path);

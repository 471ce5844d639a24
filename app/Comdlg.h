#pragma once
// The one file dialog of the program: asks for the name of a file to open or
// to save and hands back the chosen path.

#include <QString>

class QWidget;

// frm: the window that owns the dialog. sFile: the name first shown in the
// dialog's name box (may be empty). sMode: "Open" or "Save", which is also the
// dialog's title. sExt: "" for text files, ".bmp" for bitmaps, anything else
// for no filter (both compared exactly, case-sensitive). The dialog opens in
// the process's current folder. Returns the chosen path with leading and
// trailing blanks removed, or "" when the user cancels or sMode is neither
// "Open" nor "Save" (then nothing is shown). No extension is checked or added.
QString Comdlg(QWidget* frm, const QString& sFile, const QString& sMode, const QString& sExt);

// The filter list that the dialog shows for sExt, in the platform dialog's
// form ("Text Files (*.txt);;All Files (*.*)"); "" for no filter.
QString ComdlgFilter(const QString& sExt);

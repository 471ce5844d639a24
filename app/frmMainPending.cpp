// Stand-ins for the matrix-file and Run handlers until their own files exist.

#include "app/frmMain.h"

void frmMain::cmdOpen_Click() {}
void frmMain::mnuFileOpen_Click() {}
void frmMain::mnuFileSave_Click() {}
void frmMain::cmdRun_Click() {}
void frmMain::mnuRun_Click() {}

// Opening and saving the matrix as a text file.

#include "app/frmMain.h"

#include "analysis/Settings.h"
#include "analysis/SparseArray.h"
#include "app/Comdlg.h"
#include "app/MatrixFile.h"
#include "grid/Grid.h"
#include "platform/MessageBox.h"
#include "platform/TextStream.h"

#include <QGroupBox>
#include <QLineEdit>

#include <memory>
#include <new>
#include <utility>

namespace {

const QString Title = QStringLiteral("Marvisk");
const QString TxtExtension = QStringLiteral(".txt");

void showError(const QString& text) { platform::showMessage(text, platform::MessageButtons::OK, Title); }

} // namespace

void frmMain::mnuFileSave_Click() {
    const QString fileName = MatrixFile::SaveFileName(
        Comdlg(this, MatrixFile::FileNamePart(Settings::MatrixFilePath), QStringLiteral("Save"), QString()));
    if (fileName == TxtExtension)
        return; // the dialog was cancelled

    // The text goes to a temporary file beside the target and replaces it only
    // once the whole matrix is written, so a save that fails (a size box that
    // is not a number, a full disk) leaves the old file as it was. The file of
    // that name exists only then, so only then does the path name it. Where
    // the folder takes no temporary file, the file is written in place once
    // the whole text is known, and a save that fails there leaves it as it
    // was too. The matrix and its form are taken first, so that a copy that
    // runs out of memory touches no file at all.
    platform::TextForm form = MatrixFileForm_;
    try {
        const SparseArray matrix = grd1->GetMatrix();
        form = MatrixFile::SaveForm(matrix, MatrixFileForm_);
        platform::TextWriter out(fileName);
        out.SetForm(form);
        MatrixFile::WriteMatrix(out, matrix, txtRows->text(), txtCols->text());
        out.Close();
    } catch (...) {
        showError(QStringLiteral("Error 07: Error writing file."));
        return;
    }
    Settings::MatrixFilePath = fileName;
    MatrixFileForm_ = form;
    fra1->setTitle(MatrixFile::MatrixCaption(Settings::MatrixFilePath));
}

void frmMain::mnuFileOpen_Click() {
    const QString path = Comdlg(this, QString(), QStringLiteral("Open"), QString());
    if (path.isEmpty())
        return;

    const QString error06 = QStringLiteral("Error 06: Error opening file.");
    MatrixFile::MatrixFileScan scan;
    try {
        platform::TextReader in(path);
        scan = MatrixFile::ScanMatrixFile(in);
        in.Close();
    } catch (...) {
        showError(error06);
        return;
    }

    // A size that the grid cannot take gets the size check's own message and
    // ends the Open: the grid and the size boxes stay as they were, and no
    // cell is read.
    if (!scan.SizeAcceptable()) {
        const QString oldRows = txtRows->text();
        const QString oldCols = txtCols->text();
        txtRows->setText(QString::number(scan.SpeciesCount));
        txtCols->setText(QString::number(scan.SiteCount()));
        cmdOK_Click();
        txtRows->setText(oldRows);
        txtCols->setText(oldCols);
        return;
    }

    SparseArray matrix;
    try {
        matrix = MatrixFile::ReadMatrixFile(path, scan);
    } catch (...) {
        showError(error06);
        return;
    }

    // The file's matrix is whole before the grid changes. A grid that cannot
    // take it for want of memory stays as it was, with its size boxes.
    const QString oldRows = txtRows->text();
    const QString oldCols = txtCols->text();
    try {
        txtRows->setText(QString::number(scan.SpeciesCount));
        txtCols->setText(QString::number(scan.SiteCount()));
        ApplySizeBoxes();
        grd1->SetMatrix(std::move(matrix), 0, 0);
    } catch (const std::bad_alloc&) {
        txtRows->setText(oldRows);
        txtCols->setText(oldCols);
        showError(error06);
        return;
    }
    // The results name the file of the matrix they were computed from: the
    // path changes only once the file's cells are in the grid, so an Open
    // that fails leaves the path of the matrix still shown.
    Settings::MatrixFilePath = path;
    MatrixFileForm_ = scan.Form;
    fra1->setTitle(MatrixFile::MatrixCaption(Settings::MatrixFilePath));
}

void frmMain::cmdOpen_Click() { mnuFileOpen_Click(); }

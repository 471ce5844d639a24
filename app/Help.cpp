#include "app/Help.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>
#include <utility>

namespace {

HelpViewer& viewerSlot() {
    static HelpViewer viewer;
    return viewer;
}

void openInDesktopViewer(const QString& helpFilePath, const QString& topic) {
    // Desktop openers take a file, not a page inside a compiled help file: a
    // fragment would make them look for a file of that longer name. The viewer
    // therefore opens at the help file's own start page.
    (void)topic;
    QDesktopServices::openUrl(QUrl::fromLocalFile(helpFilePath));
}

} // namespace

void ShowHelpTopic(QString helpFile, QString topic) {
    const QFileInfo info(helpFile); // relative names resolve against the current folder
    if (!info.isFile())
        return;
    const QString path = info.absoluteFilePath();
    if (viewerSlot())
        viewerSlot()(path, topic);
    else
        openInDesktopViewer(path, topic);
}

void setHelpViewer(HelpViewer viewer) { viewerSlot() = std::move(viewer); }

#pragma once
// The help call: opens one topic of the program's help file in the desktop's
// viewer for that kind of file.

#include <QString>
#include <functional>

// helpFile is looked up relative to the process's current folder (the callers
// pass "Marvisk Help.chm", which lives beside the program). When the file
// exists it is handed to the viewer together with the topic; when it does not
// exist nothing is shown and nothing is reported. No help window state is
// kept: two calls simply ask the viewer twice.
void ShowHelpTopic(QString helpFile, QString topic);

// Test seam: replaces the hand-over to the desktop's viewer (an empty handler
// restores it). The handler receives the help file's absolute path and the topic.
using HelpViewer = std::function<void(const QString& helpFilePath, const QString& topic)>;
void setHelpViewer(HelpViewer viewer);

#pragma once
// What the installer tells the user. The logic only describes a message; the
// program decides how to show it (a message box when there is a display, and
// always a line on stderr).

#include <QString>

#include <functional>

struct InstallerMessage {
    enum class Icon { None, Information, Critical };
    Icon icon = Icon::None;
    QString title;
    QString text;
};

using MessageSink = std::function<void(const InstallerMessage&)>;

// "TITLE: TEXT" and a line end on stderr, in UTF-8.
void writeToStderr(const InstallerMessage& message);

// Exit status of Alt834: 0 when everything was installed.
enum InstallerStatus : int {
    kInstalled = 0,
    kNoSuite = 1,
    kOpenFailed = 2,
    kBadDataFile = 3,
    kStatementFailed = 4,
};

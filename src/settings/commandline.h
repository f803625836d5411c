#pragma once

// The program's command line: one optional picture to open, --help, --version,
// and "--" to end the options so that a picture named "-x" can be given.

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

struct CommandLine
{
    enum class Action { Run, Help, Version, Usage };
    Action action = Action::Run;
    // The picture's name as the system gave it: bytes, which need not be
    // UTF-8. Empty when none was given.
    QByteArray picture;
    QString problem; // with Usage: what was wrong, one line
};

// Reads the arguments that follow the program's name. --help and --version
// win over mistakes elsewhere on the line; an unknown option or a second
// picture asks for the usage.
CommandLine parseCommandLine(const QByteArrayList& arguments);

// What --help prints, and what a mistake prints after its problem.
QString usageText();

// What --version prints.
QString versionText();

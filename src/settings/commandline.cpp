#include "settings/commandline.h"

CommandLine parseCommandLine(const QByteArrayList& arguments)
{
    bool help = false;
    bool version = false;
    bool optionsEnded = false;
    CommandLine line;
    for (const QByteArray& argument : arguments) {
        const bool isOption = !optionsEnded && argument.startsWith('-');
        if (isOption && argument == "--") {
            optionsEnded = true;
        } else if (isOption && argument == "--help") {
            help = true;
        } else if (isOption && argument == "--version") {
            version = true;
        } else if (!line.problem.isEmpty()) {
            continue;
        } else if (isOption) {
            line.problem =
                QStringLiteral("unknown option: %1").arg(QString::fromLocal8Bit(argument));
        } else if (!line.picture.isEmpty()) {
            line.problem = QStringLiteral("only one picture can be opened: %1")
                               .arg(QString::fromLocal8Bit(argument));
        } else {
            line.picture = argument;
        }
    }
    if (help)
        line.action = CommandLine::Action::Help;
    else if (version)
        line.action = CommandLine::Action::Version;
    else if (!line.problem.isEmpty())
        line.action = CommandLine::Action::Usage;
    return line;
}

QString usageText()
{
    return QStringLiteral(
        "Usage: snipwell [options] [picture]\n"
        "\n"
        "Cuts a rectangle out of a picture and saves it as a JPEG. A picture given\n"
        "here opens as if it had been dropped onto the window.\n"
        "\n"
        "Options:\n"
        "  --help     print this help and exit\n"
        "  --version  print the version and exit\n"
        "  --         end of the options: what follows is a picture, even if it\n"
        "             starts with -\n"
        "\n"
        "Qt's own options, such as -platform and -style, are taken as well.\n");
}

QString versionText()
{
    return QStringLiteral("Snipwell %1\n").arg(QStringLiteral(SNIPWELL_VERSION));
}

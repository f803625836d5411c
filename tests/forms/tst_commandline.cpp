// The command line: one picture, --help and --version on the terminal, "--"
// before a picture whose name starts with "-", and the usage for anything
// else. The real program answers --help without a display.

#include "settings/commandline.h"

#include <QProcess>
#include <QTest>

using Action = CommandLine::Action;
Q_DECLARE_METATYPE(CommandLine::Action)

class CommandLineTest : public QObject
{
    Q_OBJECT
  private slots:
    void parse_data();
    void parse();
    void program_data();
    void program();
};

void CommandLineTest::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("picture");
    QTest::newRow("nothing") << QStringList{} << Action::Run << "";
    QTest::newRow("a picture") << QStringList{"a.jpg"} << Action::Run << "a.jpg";
    QTest::newRow("help") << QStringList{"--help"} << Action::Help << "";
    QTest::newRow("version") << QStringList{"--version"} << Action::Version << "";
    QTest::newRow("help after a mistake") << QStringList{"-x", "--help"} << Action::Help << "";
    QTest::newRow("unknown option") << QStringList{"-x"} << Action::Usage << "";
    QTest::newRow("unknown long option") << QStringList{"--open", "a.jpg"} << Action::Usage << "";
    QTest::newRow("a lone dash") << QStringList{"-"} << Action::Usage << "";
    QTest::newRow("two pictures") << QStringList{"a.jpg", "b.jpg"} << Action::Usage << "a.jpg";
    QTest::newRow("-- then a dash name") << QStringList{"--", "-x.jpg"} << Action::Run << "-x.jpg";
    QTest::newRow("-- then --help") << QStringList{"--", "--help"} << Action::Run << "--help";
    QTest::newRow("picture then --") << QStringList{"a.jpg", "--"} << Action::Run << "a.jpg";
}

void CommandLineTest::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(Action, action);
    QFETCH(QString, picture);
    QByteArrayList bytes;
    for (const QString& argument : arguments)
        bytes << argument.toUtf8();
    const CommandLine line = parseCommandLine(bytes);
    QCOMPARE(line.action, action);
    QCOMPARE(QString::fromUtf8(line.picture), picture);
    if (action == Action::Usage)
        QVERIFY(!line.problem.isEmpty());
}

void CommandLineTest::program_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::newRow("--help") << QStringList{"--help"} << 0 << usageText() << "";
    QTest::newRow("--version") << QStringList{"--version"} << 0 << "Snipwell " SNIPWELL_VERSION "\n"
                               << "";
    QTest::newRow("-x") << QStringList{"-x"} << 2 << ""
                        << "snipwell: unknown option: -x\n\n" + usageText();
}

void CommandLineTest::program()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcess snipwell;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // --help and --version must not need a display; a mistake is found once
    // Qt has taken its own options, on the offscreen platform here.
    if (status == 0) {
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    }
    snipwell.setProcessEnvironment(environment);
    snipwell.start(QStringLiteral(SNIPWELL_PATH), arguments);
    QVERIFY(snipwell.waitForFinished(30000));
    QCOMPARE(snipwell.exitStatus(), QProcess::NormalExit);
    QCOMPARE(snipwell.exitCode(), status);
    QCOMPARE(QString::fromLocal8Bit(snipwell.readAllStandardOutput()), out);
    // Qt may warn about the environment before the program speaks.
    const QString said = QString::fromLocal8Bit(snipwell.readAllStandardError());
    QVERIFY2(err.isEmpty() ? !said.contains(QStringLiteral("snipwell")) : said.endsWith(err),
             qPrintable(said));
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"

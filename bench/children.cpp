#include "children.h"

#include "figures.h"
#include "forms/frmmain.h"
#include "inputs.h"
#include "session.h"
#include "stats.h"
#include "toolkit/picturebox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>
#include <cstdio>
#include <ctime>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bench {

namespace {

// The high-water mark of the resident set, in MiB.
double peakResidentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return -1;
}

// Waits for the first paint of a window, which comes after its layout.
class FirstPaint : public QObject
{
  public:
    bool painted = false;

  protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        painted = painted || event->type() == QEvent::Paint;
        return false;
    }
};

// As main() starts the program, up to the main window shown, laid out and painted.
int startUp(int argc, char** argv, const QString& folder, std::int64_t startedAt)
{
    const std::int64_t inMain = monotonicNanoseconds();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Snipwell"));
    ScriptedPrompter prompter;
    frmmain window(prompter, AppPaths{QDir(folder).filePath(QStringLiteral("startup.ini")),
                                      jpegLibraryForTests()});
    FirstPaint first;
    window.installEventFilter(&first);
    window.show();
    for (int i = 0; i < 100000 && !(first.painted && window.windowHandle()->isExposed()); ++i)
        QCoreApplication::processEvents();
    const std::int64_t shown = monotonicNanoseconds();
    if (!first.painted)
        return 1;
    std::printf("%.3f %.3f\n", (shown - startedAt) / 1e6, (inMain - startedAt) / 1e6);
    return 0;
}

void markCutAndSave(Session& session, const QString& folder)
{
    session.setPenWidth(10);
    session.click("btmdraw");
    session.press(QPoint(100, 100));
    session.move(QPoint(200, 160), true);
    session.move(QPoint(300, 120), true);
    session.setText(QStringLiteral("Snipwell"));
    session.click("btmtext");
    session.press(QPoint(120, 300));
    session.click("btmcut");
    session.press(QPoint(0, 0));
    session.move(QPoint(3000, 2000), false);
    session.press(QPoint(3000, 2000));
    session.setJpegOptions(50, false);
    session.save(QDir(folder).filePath(QStringLiteral("memory-piece.jpg")));
}

int measurePeak(int argc, char** argv, const QString& scenario, const QString& folder)
{
    QApplication app(argc, argv);
    Session session;
    const QString picture = QDir(folder).filePath(scenario == QLatin1String("memory-large")
                                                      ? QStringLiteral("large-turned.jpg")
                                                      : QStringLiteral("photo-96mp.jpg"));
    // The first open of a process gets memory no earlier picture gave back;
    // its time is printed beside the peak.
    const Stopwatch watch;
    if (scenario != QLatin1String("memory-empty") && !session.open(picture))
        return 1;
    const double opening = watch.milliseconds();
    if (scenario == QLatin1String("memory-edit"))
        markCutAndSave(session, folder);
    std::printf("%.1f %.1f\n", peakResidentMiB(), opening);
    return 0;
}

} // namespace

std::int64_t monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

int runChild(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const QString scenario = QString::fromLocal8Bit(argv[0]);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (scenario == QLatin1String("startup") && argc >= 3)
        return startUp(argc, argv, folder, std::atoll(argv[2]));
    if (scenario.startsWith(QLatin1String("memory-")))
        return measurePeak(argc, argv, scenario, folder);
    if (scenario == QLatin1String("open-one-core") && argc >= 3) {
        QApplication app(argc, argv);
        return measureOpensOnOneCore(folder, std::atoi(argv[2]));
    }
    return 2;
}

std::optional<QString> spawnChild(const QStringList& arguments)
{
    int channel[2];
    if (pipe(channel) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, channel[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, channel[0]);

    QList<QByteArray> encoded{QByteArrayLiteral("snipwell_bench"), QByteArrayLiteral("--child")};
    for (const QString& argument : arguments)
        encoded << argument.toLocal8Bit();
    // A start time given as "now" is taken at the last moment before the spawn.
    std::vector<char*> argv;
    for (QByteArray& argument : encoded) {
        if (argument == "now")
            argument = QByteArray::number(static_cast<qlonglong>(monotonicNanoseconds()));
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    const int started =
        posix_spawn(&child, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(channel[1]);
    QByteArray output;
    char buffer[256];
    for (ssize_t got; started == 0 && (got = read(channel[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, got);
    close(channel[0]);
    int status = 0;
    if (started != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(output).trimmed();
}

} // namespace bench

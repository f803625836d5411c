#include "privatex.h"

#include "windowmanager.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QStringList>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

extern char** environ;

namespace screen {

namespace {

constexpr int kStartMs = 20000;

// posix_spawnp with stdout and stderr to /dev/null, and an extra descriptor
// given to the child as its descriptor 3 when extraFd >= 0.
pid_t spawn(const QStringList& command, const std::vector<QByteArray>& environment, int extraFd)
{
    std::vector<QByteArray> arguments;
    for (const QString& argument : command)
        arguments.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<QByteArray> variables = environment;
    std::vector<char*> envp;
    for (QByteArray& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (extraFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, extraFd, 3);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The environment with DISPLAY replaced and, for a Qt program, the X11 platform.
std::vector<QByteArray> environmentFor(const QString& display)
{
    std::vector<QByteArray> variables;
    for (char** entry = environ; *entry; ++entry) {
        const QByteArray variable(*entry);
        if (!variable.startsWith("DISPLAY=") && !variable.startsWith("QT_QPA_PLATFORM="))
            variables.push_back(variable);
    }
    if (!display.isEmpty()) {
        variables.push_back("DISPLAY=" + display.toLocal8Bit());
        variables.push_back("QT_QPA_PLATFORM=xcb");
    }
    return variables;
}

// The display number Xvfb writes to its -displayfd descriptor.
QString readDisplay(int fd)
{
    QByteArray number;
    const QDeadlineTimer deadline(kStartMs);
    while (!deadline.hasExpired()) {
        pollfd watched{fd, POLLIN, 0};
        if (poll(&watched, 1, 100) <= 0)
            continue;
        char buffer[32];
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        number.append(buffer, got);
        if (number.contains('\n'))
            return QStringLiteral(":%1").arg(QString::fromLatin1(number.trimmed()));
    }
    return {};
}

bool managerRunning(const QString& display)
{
    xcb_connection_t* connection = xcb_connect(display.toLocal8Bit().constData(), nullptr);
    bool running = false;
    if (!xcb_connection_has_error(connection)) {
        const char name[] = "_NET_SUPPORTING_WM_CHECK";
        auto* atom = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 1, sizeof name - 1, name), nullptr);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        if (atom && atom->atom != XCB_ATOM_NONE) {
            auto* reply = xcb_get_property_reply(
                connection,
                xcb_get_property(connection, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
            running = reply && reply->value_len == 1;
            free(reply);
        }
        free(atom);
    }
    xcb_disconnect(connection);
    return running;
}

// Whether the window manager takes new windows in yet, a new window every
// half second, since one mapped too early is never taken.
bool managerTakesWindows(const QString& display)
{
    const QByteArray name = display.toLocal8Bit();
    const QDeadlineTimer deadline(kStartMs);
    while (!deadline.hasExpired()) {
        if (windowManagerTakesWindows(name.constData(), 500))
            return true;
    }
    return false;
}

} // namespace

PrivateX::PrivateX(const QString& size, bool withWindowManager)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return;
    m_server = spawn({QStringLiteral("Xvfb"), QStringLiteral("-displayfd"), QStringLiteral("3"),
                      QStringLiteral("-screen"), QStringLiteral("0"), size + QStringLiteral("x24"),
                      QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                      // Without it the server starts afresh whenever its last
                      // client leaves, and a client connecting then fails.
                      QStringLiteral("-noreset")},
                     environmentFor({}), pipeFds[1]);
    close(pipeFds[1]);
    const QString display = m_server > 0 ? readDisplay(pipeFds[0]) : QString();
    close(pipeFds[0]);
    if (display.isEmpty())
        return;
    if (withWindowManager) {
        m_manager =
            spawnOnDisplay({QStringLiteral("openbox"), QStringLiteral("--sm-disable")}, display);
        const QDeadlineTimer deadline(kStartMs);
        while (m_manager > 0 && !managerRunning(display) && !deadline.hasExpired())
            QThread::msleep(50);
        if (!managerRunning(display) || !managerTakesWindows(display))
            return;
    }
    m_display = display;
}

PrivateX::~PrivateX()
{
    stopProgram(m_manager);
    stopProgram(m_server);
}

pid_t spawnOnDisplay(const QStringList& command, const QString& display)
{
    return spawn(command, environmentFor(display), -1);
}

void stopProgram(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    const QDeadlineTimer deadline(5000);
    while (waitpid(pid, nullptr, WNOHANG) == 0) {
        if (deadline.hasExpired()) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            return;
        }
        QThread::msleep(5);
    }
}

} // namespace screen

// The child of the killed-writes test: it writes the settings file and exports
// the JPEG in a loop, the two contents in turn, until it is killed. It says
// "writing" once it has started and "cycle" after each pair of writes, so that
// the kills land inside the loop.

#include "jpeg/jpeglibrary.h"
#include "killedwrites.h"

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString library = QString::fromLocal8Bit(argv[2]);
    int which = std::atoi(argv[3]) & 1;
    const QImage pictures[] = {killedwrites::picture(0), killedwrites::picture(1)};
    std::puts("writing");
    std::fflush(stdout);
    // Bounded, and ends when the test is gone, so that no child outlives its test.
    for (int cycle = 0; cycle < 100000 && getppid() != 1; ++cycle, which ^= 1) {
        if (!settingsfile::write(folder + QStringLiteral("/setting.ini"),
                                 killedwrites::settings(which)))
            return 3;
        const jpeg::JpegWriteResult written =
            jpeg::writeJpeg(pictures[which], folder + QStringLiteral("/piece.jpg"),
                            static_cast<std::uint8_t>(killedwrites::quality(which)),
                            killedwrites::progressive(which), library);
        if (!written.written)
            return 4;
        std::puts("cycle");
        std::fflush(stdout);
    }
    return 0;
}

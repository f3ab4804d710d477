// murtesk-video-window VIDEO [START [FROM_MS TO_MS]]: the video observation window over a video file, as the
// calculation screen opens it, for trying the window by hand or with scripted input. START is the measurement's
// start ("yyyy/mm/dd hh:mm:ss"; none: unknown). On closing it prints the two saved times.
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "globals.h"
#include "japanese.h"
#include "platform/dates.h"
#include "platform/file_size_limit.h"
#include "playback/frmPlayAVI.h"
#include "playback_views.h"
#include "qt_ui.h"
#include "window_icon.h"

int main(int argc, char** argv) {
    murtesk::platform::FailWritesPastTheFileSizeLimit();
    if (argc != 2 && argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: murtesk-video-window VIDEO [\"yyyy/mm/dd hh:mm:ss\" [FROM_MS TO_MS]]\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Murtesk"));
    QApplication::setQuitOnLastWindowClosed(false);
    murtesk::platform::qt::InstallJapaneseUi(app);
    QApplication::setWindowIcon(murtesk::platform::qt::ProgramWindowIcon());
    murtesk::g_VideoPath = argv[1];
    if (argc >= 3) {
        int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
        if (std::sscanf(argv[2], "%d/%d/%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) != 6) {
            std::fprintf(stderr, "murtesk-video-window: the start is \"yyyy/mm/dd hh:mm:ss\"\n");
            return 2;
        }
        murtesk::g_VideoStartTime = murtesk::platform::DateFromParts(y, mo, d, h, mi, s);
    }
    if (argc == 5) {
        murtesk::g_VideoStartMs = std::atoi(argv[3]);
        murtesk::g_VideoEndMs = std::atoi(argv[4]);
    }
    {
        murtesk::platform::qt::QtUi ui;
        murtesk::playback::RegisterPlaybackViews(ui);
        murtesk::playback::ShowPlayAVI(ui, nullptr);
        ui.DestroyAllViews();
    }
    std::printf("saved times: %d %d\n", murtesk::g_SaveTime[0], murtesk::g_SaveTime[1]);
    return 0;
}

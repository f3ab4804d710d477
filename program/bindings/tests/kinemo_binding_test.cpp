// What the binding reads of FFmpeg through the built libKinemo.so is what the FFmpeg libraries linked here
// report themselves; without the library every report is empty.
#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "kinemo_binding.h"
#include "scratch_folder.h"

namespace murtesk {
namespace {

using Licences = std::vector<std::pair<std::string, std::string>>;

TEST(KinemoBinding, ReportsWhatTheFfmpegLibrariesOfTheVideoLibrarySay) {
    KinemoLibrary kinemo;
    const FfmpegReport report = kinemo.ReportFfmpeg();
    EXPECT_EQ(report.version, av_version_info());
    EXPECT_EQ(report.licences, (Licences{{"libavformat", avformat_license()},
                                         {"libavcodec", avcodec_license()},
                                         {"libswscale", swscale_license()},
                                         {"libswresample", swresample_license()},
                                         {"libavutil", avutil_license()}}));

    test_support::ScratchFolder empty("kinemo-binding");
    const FfmpegReport none = KinemoLibrary(empty.path().string()).ReportFfmpeg();
    EXPECT_EQ(none.version, "");
    EXPECT_EQ(none.licences, (Licences{{"libavformat", ""},
                                       {"libavcodec", ""},
                                       {"libswscale", ""},
                                       {"libswresample", ""},
                                       {"libavutil", ""}}));
}

}  // namespace
}  // namespace murtesk

// The video fit: scaled with the aspect ratio kept, centred by the
// destination's offset, the window at the client origin reaching to the
// destination's far corner; top-down (negative height) and empty sources.
#include <gtest/gtest.h>

#include "sound/media_playback.h"

namespace {

TEST(VideoFit, ScalesCentresAndNeverMirrors) {
    struct {
        platform::MediaRect source, client, destination;
        int windowWidth, windowHeight;
    } cases[] = {
        {{0, 0, 320, 240}, {0, 0, 640, 480}, {0, 0, 640, 480}, 640, 480},
        {{0, 0, 320, 240}, {0, 0, 800, 480}, {80, 0, 720, 480}, 720, 480},
        {{0, 0, 320, -240}, {0, 0, 800, 480}, {80, 0, 720, 480}, 720, 480},  // top-down picture
        {{0, 0, 320, 240}, {0, 0, 640, 600}, {0, 60, 640, 540}, 640, 540},
        {{0, 0, 300, 200}, {0, 0, 640, 480}, {0, 27, 640, 453}, 640, 453},  // 426.67 high: 426, offset 27
        {{0, 0, 0, 0}, {0, 0, 640, 480}, {0, 0, 640, 480}, 640, 480},        // no pictures
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.source.right << "x" << c.source.bottom << " in " << c.client.right << "x"
                                        << c.client.bottom);
        const VideoFit fit = FitVideo(c.source, c.client);
        EXPECT_EQ(fit.destination.left, c.destination.left);
        EXPECT_EQ(fit.destination.top, c.destination.top);
        EXPECT_EQ(fit.destination.right, c.destination.right);
        EXPECT_EQ(fit.destination.bottom, c.destination.bottom);
        EXPECT_EQ(fit.windowWidth, c.windowWidth);
        EXPECT_EQ(fit.windowHeight, c.windowHeight);
    }
}

}  // namespace

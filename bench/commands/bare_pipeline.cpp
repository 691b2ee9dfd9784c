// The bare libraries doing what a whole vexel2d-cli command does, for
// scripts/bench-commands.sh to time against the command:
//
//   bench_bare_pipeline make-room DIR
//       writes DIR/photo.jpg (the demo room at 4000 x 3000), DIR/room.v2d
//       (the demo room scheme on it) and DIR/background.jpg (the very JPEG the
//       scheme keeps as its background, at quality 100); prints the floor's
//       corners "x,y;x,y;x,y;x,y"
//   bench_bare_pipeline warp PHOTO.jpg TILE.jpg CORNERS TILES_ACROSSxTILES_DOWN QUALITY OUT.jpg
//       libjpeg decode of the photo and the tile, the tile repeated into a
//       canvas, an OpenCV warp of it onto the corners, a masked copy into the
//       photo, a libjpeg encode at QUALITY
//   bench_bare_pipeline codec PHOTO.jpg QUALITY OUT.jpg
//       libjpeg decode and encode of the photo
#include <opencv2/imgproc.hpp>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "bench/bare_libjpeg.h"
#include "demo/demo_room.h"
#include "scene/scheme_file.h"

namespace v2d {
namespace {

constexpr int kWidth = 4000, kHeight = 3000;

cv::Mat Decode(const std::string& path) {
    const std::optional<Bytes> jpeg = ReadWholeFile(path);
    cv::Mat pixels;
    if (jpeg) bench::BareJpegDecode(*jpeg, pixels);
    return pixels;
}

bool Encode(const cv::Mat& pixels, int quality, const std::string& path) {
    return static_cast<bool>(WriteFileAtomically(path, bench::BareJpegEncode(pixels, quality)));
}

int MakeRoom(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    const Scene scene = demo::BuildDemoRoomScene(kWidth, kHeight);
    const std::optional<Bytes> photo = EncodeJpeg(scene.background, 92);
    const std::optional<Bytes> kept = EncodeJpeg(scene.background, 100);  // as the scheme file encodes it
    if (!photo || !kept || !WriteFileAtomically(dir / "photo.jpg", *photo) ||
        !WriteFileAtomically(dir / "background.jpg", *kept) || !WriteSchemeFile(scene, dir / "room.v2d"))
        return 1;
    const auto& corners = scene.at(0)->corners;
    for (int i = 0; i < 4; ++i) std::printf("%s%d,%d", i ? ";" : "", corners[i].x, corners[i].y);
    std::printf("\n");
    return 0;
}

int Warp(char** argv) {
    const cv::Mat photo = Decode(argv[0]), tile = Decode(argv[1]);
    cv::Point2f to[4];
    int across = 0, down = 0;
    if (photo.empty() || tile.empty() ||
        std::sscanf(argv[2], "%f,%f;%f,%f;%f,%f;%f,%f", &to[0].x, &to[0].y, &to[1].x, &to[1].y, &to[2].x, &to[2].y,
                    &to[3].x, &to[3].y) != 8 ||
        std::sscanf(argv[3], "%dx%d", &across, &down) != 2 || across < 1 || down < 1)
        return 2;
    // The canvas at the tile's own resolution, as many tiles as the surface holds.
    cv::Mat canvas;
    cv::repeat(tile, down, across, canvas);
    const float w = static_cast<float>(canvas.cols - 1), h = static_cast<float>(canvas.rows - 1);
    const cv::Point2f from[4] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    cv::Mat warped;
    cv::warpPerspective(canvas, warped, cv::getPerspectiveTransform(from, to), photo.size());
    canvas.release();
    cv::Mat mask = cv::Mat::zeros(photo.size(), CV_8UC1);
    std::vector<cv::Point> quad;
    for (const cv::Point2f& p : to) quad.emplace_back(cvRound(p.x), cvRound(p.y));
    cv::fillConvexPoly(mask, quad, cv::Scalar(255));
    warped.copyTo(photo, mask);
    return Encode(photo, std::atoi(argv[4]), argv[5]) ? 0 : 1;
}

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "make-room" && argc == 3) return v2d::MakeRoom(argv[2]);
    if (mode == "warp" && argc == 8) return v2d::Warp(argv + 2);
    if (mode == "codec" && argc == 5) {
        const cv::Mat photo = v2d::Decode(argv[2]);
        return !photo.empty() && v2d::Encode(photo, std::atoi(argv[3]), argv[4]) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: see the head of bare_pipeline.cpp\n");
    return 2;
}

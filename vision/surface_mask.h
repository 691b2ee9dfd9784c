#pragma once
// The mask of the surface under the user's clicks, on the reduced copy of a
// photo: a region of like colour grown from each click, refined by a graph
// cut against the rest of the photo, with what stands on the surface left
// out as holes.
#include <opencv2/core.hpp>

#include <optional>
#include <vector>

namespace v2d::vision {

// The reduced copy and what every click on it reuses.
struct ReducedPhoto {
    cv::Mat colour;  // 8-bit BGR, its sensor grain smoothed away where there is any
    double grain = 0;  // the grain's spread in grey levels, as found before smoothing
    cv::Mat smooth;  // the same with joints, seams and grain smoothed away
    cv::Mat coarse;       // `smooth` a few times smaller, where regions are grown and cut
    cv::Mat coarseEdges;  // strong edges of `coarse` (255), where a grown region stops

    static ReducedPhoto Of(cv::Mat colour);
};

struct MaskClicks {
    std::vector<cv::Point> inside;
    std::vector<cv::Point> outside;
};

// 255 on the surface, 0 elsewhere (holes included); empty when nothing that
// looks like a surface holds the inside clicks. `within` (the reduced copy's
// size, 255 where the surface may lie; empty for anywhere) limits it before
// its size is judged: a wall of a white room may look like all of the photo
// but is still its own face.
cv::Mat SurfaceMaskOf(const ReducedPhoto& photo, const MaskClicks& clicks, const cv::Mat& within = {});

// Points well inside `within` (255 where a surface lies, on the reduced
// copy) of one colour of `smooth`, far from each other: where a surface's
// mask is grown from besides a click, so that a floor a rug parts in two is
// found on both sides. The colour is `colour`, or else the median within.
std::vector<cv::Point> SeedsWithin(const cv::Mat& within, const cv::Mat& smooth, std::optional<cv::Vec3b> colour = {});

}  // namespace v2d::vision

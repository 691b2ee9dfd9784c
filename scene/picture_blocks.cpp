#include "scene/picture_blocks.h"

#include <algorithm>
#include <atomic>
#include <numeric>

#include "base/parallel_for.h"
#include "scene/record_codec.h"

namespace v2d {
namespace {

constexpr int64_t kMaxFilePixels = 80'000'000;

}  // namespace

std::span<const uint8_t> PictureFileOfBlock(std::span<const uint8_t> block) {
    return block.empty() ? block : block.first(block.size() - 1);
}

QImage DecodePictureBlock(std::span<const uint8_t> block, PictureMode mode, PictureCheck check) {
    QImage image = DecodePicture(PictureFileOfBlock(block), check);
    if (image.isNull()) return {};
    const QImage::Format format = mode == PictureMode::Alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    return image.format() == format ? image : std::move(image).convertToFormat(format);  // in place: no second copy
}

void PictureDecodeQueue::add(std::span<const uint8_t> block, QImage* target, PictureMode mode) {
    jobs_.push_back({block, target, mode});
}

void PictureDecodeQueue::run() {
    // All of a file's pictures together stay within a budget: a file of many
    // pictures, each within the size limit, must not decode into gigabytes.
    // The last queued (a scheme's background) are counted first; pictures
    // beyond the budget stay null, as pictures that do not decode do.
    int64_t pixels = 0;
    for (auto job = jobs_.rbegin(); job != jobs_.rend(); ++job) {
        const std::optional<QSize> size = PictureFileSize(PictureFileOfBlock(job->block));
        if (!size) continue;
        const int64_t own = int64_t(size->width()) * size->height();
        if (pixels + own > kMaxFilePixels)
            job->target = nullptr;
        else
            pixels += own;
    }
    std::erase_if(jobs_, [](const Job& job) { return job.target == nullptr; });
    // Largest blocks first, so the two workers finish together.
    std::sort(jobs_.begin(), jobs_.end(), [](const Job& a, const Job& b) { return a.block.size() > b.block.size(); });
    std::atomic<bool> damaged = false;
    ParallelFor(jobs_.size(), [&](size_t i) {
        QImage image = DecodePictureBlock(jobs_[i].block, jobs_[i].mode, check_);
        if (!image.isNull())
            *jobs_[i].target = std::move(image);
        else if (!PictureFileOfBlock(jobs_[i].block).empty())
            damaged = true;
    });
    damaged_ = damaged_ || damaged;
    jobs_.clear();
}

int PictureEncodeQueue::add(const QImage* image, Encoding encoding) {
    jobs_.push_back({image, encoding, {}});
    return static_cast<int>(jobs_.size() - 1);
}

bool PictureEncodeQueue::run() {
    std::vector<size_t> order(jobs_.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return int64_t(jobs_[a].image->width()) * jobs_[a].image->height() >
               int64_t(jobs_[b].image->width()) * jobs_[b].image->height();
    });
    ParallelFor(jobs_.size(), [&](size_t k) {
        Job& job = jobs_[order[k]];
        job.result = job.encoding == Encoding::Png ? EncodePng(*job.image) : EncodeJpeg(*job.image, 100);
    });
    return std::all_of(jobs_.begin(), jobs_.end(), [](const Job& job) { return job.result.has_value(); });
}

size_t PictureEncodeQueue::totalSize() const {
    size_t total = 0;
    for (const Job& job : jobs_) total += job.result ? job.result->size() + 8 : 0;
    return total;
}

void AppendI32(Bytes& out, int32_t v) {
    uint8_t b[4];
    WriteI32(b, v);
    out.insert(out.end(), b, b + 4);
}

void AppendPoints(Bytes& out, const std::vector<V2d_Point>& points) {
    for (const V2d_Point& p : points) {
        AppendI32(out, p.x);
        AppendI32(out, p.y);
    }
}

void AppendBlock(Bytes& out, const Bytes& picture) {
    out.insert(out.end(), picture.begin(), picture.end());
    out.push_back(0xFF);
}

}  // namespace v2d

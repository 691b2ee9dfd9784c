#pragma once
// The image library beside the benchmark program, loaded once; a benchmark
// without it has nothing to measure and stops.
#include <cstdlib>
#include <filesystem>

#include "imagelib/image_library.h"

namespace v2d::bench {

inline const ImageLibrary& LoadedLibrary() {
    static ImageLibrary library;
    static const bool loaded =
        library.Load(std::filesystem::canonical("/proc/self/exe").parent_path().string()).empty();
    if (!loaded) std::abort();
    return library;
}

}  // namespace v2d::bench

#include "base/process_setup.h"

#include <malloc.h>

#include <QCoreApplication>
#include <QString>

#include <system_error>

namespace v2d {

void SetUpProcess() {
#if defined(__GLIBC__) && !defined(VEXEL_SANITIZED_BUILD)
    constexpr int kLargestPooled = 512 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, kLargestPooled);
    mallopt(M_TRIM_THRESHOLD, kLargestPooled);
#endif
    QCoreApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
}

void ReturnLargeBlocksWhenFreed() {
#if defined(__GLIBC__) && !defined(VEXEL_SANITIZED_BUILD)
    constexpr int kLargestInHeap = 8 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, kLargestInHeap);
    mallopt(M_TRIM_THRESHOLD, kLargestInHeap);
#endif
}

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::canonical("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : self.parent_path();
}

std::filesystem::path ProgramLibraryFile(const char* name) {
    const std::filesystem::path executable = ExecutableFolder();
    std::error_code error;
    if (std::filesystem::exists(executable / name, error)) return executable / name;
    return (executable.parent_path() / VEXEL_PACKAGE_LIBRARY_DIR / name).lexically_normal();
}

}  // namespace v2d

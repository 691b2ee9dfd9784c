#pragma once
// Scene-sized pictures are tens of megabytes. glibc hands such blocks back
// to the system on every free, so each redraw pays for fresh zeroed pages;
// keeping them in the heap lets the next picture reuse them. Call once at
// program start.
namespace v2d {
void KeepLargePictureMemory();
}

#pragma once
// The shell's "open" on the desktop: a document or web address handed to
// the desktop's own program through xdg-open.
#include <QUrl>

#include <functional>

namespace v2d {

// Starts the opener and returns at once. `failed` runs later on this
// thread when nothing took the address: the opener is missing, or it gave
// up within its first seconds (no program for the file). An opener still
// running then has started its program and counts as done.
void OpenOnDesktop(const QUrl& url, std::function<void()> failed);

}  // namespace v2d

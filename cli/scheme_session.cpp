#include "cli/scheme_session.h"

#include "cli/command_support.h"

namespace v2d::cli {

Status OpenSession(Session& s, const std::string& scheme) {
    if (Status loaded = LoadImageLibrary(s.library); !loaded) return loaded;
    s.doc = std::make_unique<SceneDocument>(s.library);
    ProgressBar bar("打开方案", *s.doc);
    return s.doc->OpenScheme(scheme).status();
}

}  // namespace v2d::cli

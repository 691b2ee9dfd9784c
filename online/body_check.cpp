#include "online/body_check.h"

#include <QString>

#include <array>
#include <string>
#include <string_view>

#include "scene/model_file.h"
#include "scene/scheme_file.h"

namespace v2d {

namespace {

struct Signature {
    const char* extension;
    std::string_view bytes;
};

constexpr std::string_view kJpeg("\xFF\xD8\xFF", 3);
constexpr std::string_view kPng("\x89PNG\r\n\x1A\n", 8);
constexpr std::string_view kScheme(kSchemeSignature, 4);
constexpr std::string_view kModel(kModelSignature, 4);

constexpr std::array<Signature, 5> kSignatures{{
    {".jpg", kJpeg}, {".jpeg", kJpeg}, {".png", kPng}, {".v2d", kScheme}, {".c2d", kModel},
}};

}  // namespace

Status CheckDownloadedHead(std::string_view head, const std::filesystem::path& targetName) {
    const std::string extension =
        QString::fromStdU16String(targetName.extension().u16string()).toLower().toStdString();
    for (const Signature& signature : kSignatures)
        if (extension == signature.extension && !head.starts_with(signature.bytes)) return Error{kMsgWrongBody};
    return Status::Ok();
}

}  // namespace v2d

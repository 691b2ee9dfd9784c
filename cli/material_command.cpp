// vexel2d-cli material: one step of the material editor without the window:
// the source colour at a picture point is replaced, all over the pattern,
// by a colour or a texture.
#include <cstdio>

#include "base/atomic_file.h"
#include "base/integer_text.h"
#include "base/picture_codec.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/render_options.h"
#include "render/material_edit.h"

namespace v2d::cli {
namespace {

constexpr const char* kUsage =
    "usage: vexel2d-cli material PATTERN.jpg --at X,Y [--tolerance T] (--colour 0xBBGGRR | --texture FILE "
    "[--scale N] [--overlay [--colour 0xBBGGRR]]) -o OUT.jpg\n";
constexpr int kEditedQuality = 95;

struct MaterialOptions {
    std::string pattern, output, texture;
    std::optional<V2d_Point> at;
    int tolerance = 50;
    std::optional<uint32_t> colour;
    int scale = kDefaultTextureScale;
    bool overlay = false;
};

Result<MaterialOptions> ParseMaterialOptions(const Args& args) {
    MaterialOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--overlay") {
            o.overlay = true;
        } else if (a == "-o" || a == "--at" || a == "--tolerance" || a == "--colour" || a == "--color" ||
                   a == "--texture" || a == "--scale") {
            if (!hasValue) return Error{a + " needs a value"};
            const std::string& v = args[++i];
            uint32_t colour = 0;
            const std::optional<int> number = ParseInt(v);
            if (a == "-o") {
                o.output = v;
            } else if (a == "--texture") {
                o.texture = v;
            } else if (a == "--at") {
                if (!(o.at = ParsePoint(v))) return Error{"--at takes X,Y in picture pixels"};
            } else if (a == "--tolerance") {
                if (!number || *number < 0) return Error{"--tolerance takes 0..255"};
                o.tolerance = ClampTolerance(*number);
            } else if (a == "--scale") {
                if (!number || *number < 10 || *number > 500) return Error{"--scale takes 10..500 per cent"};
                o.scale = *number;
            } else {
                if (!ParseColour(v, colour)) return Error{"--colour needs 0xBBGGRR"};
                o.colour = colour;
            }
        } else if (Status operand = TakeOperand(a, o.pattern, "unexpected argument " + a); !operand.ok()) {
            return operand.failure();
        }
    }
    if (o.pattern.empty()) return Error{"no pattern picture given"};
    if (o.output.empty()) return Error{"no output given (-o)"};
    if (!o.at) return Error{"--at is needed"};
    if (o.texture.empty() == !o.colour) {
        if (o.texture.empty()) return Error{"--colour or --texture is needed"};
        if (!o.overlay) return Error{"--colour with --texture needs --overlay"};
    }
    return o;
}

Result<QImage> ReadPicture(const std::string& file) {
    const std::optional<Bytes> bytes = ReadWholeFile(file);
    if (!bytes) return Error{"cannot read " + file};
    QImage picture = DecodePicture(*bytes, PictureCheck::Strict);
    if (picture.isNull())
        return Error{SniffPicture(*bytes) == PictureKind::Unknown
                         ? file + ": not a picture"
                         : kMsgPictureDamaged + std::filesystem::path(file).filename().string()};
    return picture;
}

Status ApplyStep(MaterialEditor& editor, const MaterialOptions& o) {
    const QPoint p(o.at->x, o.at->y);
    if (!editor.source().valid(p))
        return Error{"--at lies outside the " + std::to_string(editor.source().width()) + "x" +
                     std::to_string(editor.source().height()) + " picture"};
    if (o.texture.empty()) {
        editor.ClickColour(p, *o.colour, o.tolerance, o.overlay);
        return Status::Ok();
    }
    Result<QImage> texture = ReadPicture(o.texture);
    if (!texture) return texture.failure();
    editor.ClickTexture(p, *texture, o.tolerance, o.overlay);
    if (o.colour)
        if (Status recoloured = editor.ChangeColour(*o.colour, o.tolerance, true); !recoloured) return recoloured;
    if (Result<bool> scaled = editor.ChangeScale(o.scale, o.tolerance, o.overlay); !scaled) return scaled.failure();
    return Status::Ok();
}

}  // namespace

int RunMaterial(const Args& args) {
    Result<MaterialOptions> options = ParseMaterialOptions(args);
    if (!options) return UsageFailure("material", options.error(), kUsage);
    Result<QImage> pattern = ReadPicture(options->pattern);
    if (!pattern) return Fail("material", pattern.error());
    MaterialEditor editor;
    editor.Load(*pattern);
    if (Status applied = ApplyStep(editor, *options); !applied) return Fail("material", applied.error());
    const std::optional<Bytes> jpeg = EncodeJpeg(editor.result(), kEditedQuality);
    if (!jpeg || !WriteFileAtomically(options->output, *jpeg)) return Fail("material", "cannot write " + options->output);
    return 0;
}

}  // namespace v2d::cli

// vexel2d-cli templates | save-template: the local template browser's pages
// and "save as template" from a terminal, through the same core the windows use.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "base/integer_text.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "document/scene_document.h"
#include "library/data_module.h"
#include "templates/template_pages.h"
#include "templates/template_store.h"

namespace v2d::cli {
namespace fs = std::filesystem;

namespace {

constexpr const char* kTemplatesUsage =
    "usage: vexel2d-cli templates [--room ID] [--style ID] [--page N] [--page-size N]\n";
constexpr const char* kSaveUsage = "usage: vexel2d-cli save-template SCHEME.v2d --name NAME --room ID --style ID\n";

// The value after an option, as a whole number.
std::optional<long long> NumberAfter(const Args& args, size_t& i) {
    if (i + 1 >= args.size()) return std::nullopt;
    return ParseWholeNumber(args[++i]);
}

}  // namespace

int RunTemplates(const Args& args, const fs::path& workspace) {
    TemplateFilter filter;
    int64_t page = 1, pageSize = kTemplatePageSize;
    for (size_t i = 0; i < args.size(); ++i) {
        std::optional<long long> n = NumberAfter(args, i);
        const std::string& option = args[i - (n ? 1 : 0)];
        if (!n) {
            std::fputs(kTemplatesUsage, stderr);
            return 2;
        }
        if (option == "--room") filter.roomTypeID = *n;
        else if (option == "--style") filter.styleID = *n;
        else if (option == "--page" && *n >= 1 && *n <= 1'000'000) page = *n;
        else if (option == "--page-size" && *n >= 1 && *n <= 10'000) pageSize = *n;
        else {
            std::fputs(kTemplatesUsage, stderr);
            return 2;
        }
    }
    auto dm = TDataModule_Manager::DataModuleCreate(workspace);
    if (!dm) return Fail("templates", dm.error());
    Result<TemplatePage> read = ReadTemplatePage(**dm, filter, static_cast<int>(page), static_cast<int>(pageSize));
    if (!read) return Fail("templates", read.error());
    JsonWriter json;
    json.beginObject().field("page", page).field("pages", int64_t{read->pages}).key("templates").beginArray();
    for (const TemplateRow& t : read->rows)
        json.beginObject()
            .field("id", t.SampleID)
            .field("name", std::string_view(t.SampleName))
            .field("style", t.StyleID)
            .field("room", t.RoomTypeID)
            .endObject();
    json.endArray().endObject();
    std::printf("%s\n", json.str().c_str());
    return 0;
}

int RunSaveTemplate(const Args& args, const fs::path& workspace) {
    std::string scheme;
    NewTemplate details{kNewTemplateName};
    bool room = false, style = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--name" && i + 1 < args.size()) {
            details.name = args[++i];
        } else if (args[i] == "--room" || args[i] == "--style") {
            const bool isRoom = args[i] == "--room";
            std::optional<long long> n = NumberAfter(args, i);
            if (!n) {
                std::fputs(kSaveUsage, stderr);
                return 2;
            }
            (isRoom ? details.roomTypeID : details.styleID) = static_cast<int64_t>(*n);
            (isRoom ? room : style) = true;
        } else if (scheme.empty() && !args[i].starts_with("--")) {
            scheme = args[i];
        } else {
            std::fputs(kSaveUsage, stderr);
            return 2;
        }
    }
    if (scheme.empty() || !room || !style) {
        std::fputs(kSaveUsage, stderr);
        return 2;
    }
    ImageLibrary library;
    if (Status loaded = LoadImageLibrary(library); !loaded) return Fail("save-template", loaded.error());
    SceneDocument doc(library);
    if (Outcome opened = doc.OpenScheme(scheme); opened.refused()) return Fail("save-template", opened.error());
    auto dm = TDataModule_Manager::DataModuleCreate(workspace);
    if (!dm) return Fail("save-template", dm.error());
    Result<int64_t> id = StoreTemplate(**dm, workspace, doc.scene(), doc.displayed(), details);
    if (!id) return Fail("save-template", id.error());
    const TemplateFiles files = TemplateFilesOf(workspace, std::to_string(*id));
    JsonWriter json;
    json.beginObject()
        .field("id", *id)
        .field("scheme", std::string_view(files.scheme.string()))
        .field("thumbnail", std::string_view(files.thumbnail.string()))
        .endObject();
    std::printf("%s\n", json.str().c_str());
    return 0;
}

}  // namespace v2d::cli

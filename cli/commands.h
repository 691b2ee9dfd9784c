#pragma once
// The subcommands of vexel2d-cli. Each returns the process exit code; errors
// go to stderr in the program's own words. The commands that read the
// workspace are handed its folder (--workspace, else the current folder).
#include <filesystem>
#include <string>
#include <vector>

#include "base/result.h"

namespace v2d {
struct SchemeFile;
}

namespace v2d::cli {

using Args = std::vector<std::string>;

int RunInfo(const Args& args);          // info FILE.v2d
std::string SchemeInfoJson(const SchemeFile& file);
int RunConvert(const Args& args);       // convert IN.v2d OUT.v2d
int RunMakeWorkspace(const Args& args); // make-workspace DIR [--keep-existing]
int RunProducts(const Args& args, const std::filesystem::path& workspace);  // products [--kind material|model]
int RunMerge(const Args& args, const std::filesystem::path& workspace);     // merge FILE.cdb
int RunMakeUpdateDb(const Args& args);  // make-update-db FILE
int RunMakeBenchDb(const Args& args);   // make-bench-db DIR [--products N] [--subcategories M]
int RunRender(const Args& args);        // render SCHEME.v2d -o OUT.jpg [...]
int RunBatch(const Args& args);
int RunTemplates(const Args& args, const std::filesystem::path& workspace);     // templates [--room ID] ...
int RunSaveTemplate(const Args& args, const std::filesystem::path& workspace);  // save-template SCHEME.v2d ...
int RunReport(const Args& args, const std::filesystem::path& workspace);        // report SCHEME.v2d [-o DIR] [--pdf F]
int RunShare(const Args& args, const std::filesystem::path& workspace);         // share SCHEME.v2d -o DIR [--url BASE]
int RunDownload(const Args& args, const std::filesystem::path& workspace);  // download URL FILE [--attempts N]
int RunNewScheme(const Args& args);  // new-scheme PHOTO -o OUT.v2d --region SPEC ... --find SPEC ...
int RunFindRoom(const Args& args);    // find-room PHOTO [--at X,Y] [--length X1,Y1,X2,Y2,MM]
int RunFindRegion(const Args& args);  // find-region PHOTO --at X,Y ... [--not X,Y ...] [--length X1,Y1,X2,Y2,MM]
int RunModel(const Args& args);      // model SCHEME.v2d --record N OPERATION -o OUT.v2d
int RunQuote(const Args& args, const std::filesystem::path& workspace);  // quote SCHEME.v2d [--waste PCT] [--per-box N]
int RunPlan(const Args& args);  // plan SCHEME.v2d --region NAME|INDEX -o PLAN.svg
int RunAddModel(const Args& args);  // add-model SCHEME.v2d MODEL.c2d -o OUT.v2d [--at X,Y] [--region R]         // batch SCHEME.v2d --products DIR --regions ... -o OUTDIR
int RunMaterial(const Args& args);  // material PATTERN.jpg --at X,Y ... -o OUT.jpg
int RunImportProducts(const Args& args, const std::filesystem::path& workspace);  // import-products DIR --category ID
int RunCompare(const Args& args, const std::filesystem::path& workspace);  // compare SCHEME.v2d --regions LIST --product F ... -o GRID.jpg

}  // namespace v2d::cli

#pragma once
// The administrator row and the users of the login window, and the template
// rows of the template browser and "save as template".
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "library/data_module.h"

namespace v2d {

inline constexpr int64_t kAdministratorID = -999;
inline constexpr const char* kAdministratorName = "superuser";

struct UserRow {
    int64_t UserID = 0;
    std::string UserPassWord;
    std::string UserPower;
};

// The administrator's password; nullopt when the table holds no row.
Result<std::optional<std::string>> ReadSuperUserPassword(Db& dm);
// The administrator row (-999, "superuser") with this password.
Status CreateSuperUser(Db& dm, const std::string& password);
// A user by name; names compare without case.
Result<std::optional<UserRow>> FindUser(Db& dm, const std::string& userName);

struct TemplateRow {
    int64_t SampleID = 0;
    std::string SampleName;
    std::optional<int64_t> SampleCode;
    int64_t SampleType = 0;
    int64_t StyleID = 0;
    int64_t RoomTypeID = 0;
    Blob SamplePic;
};
inline constexpr int64_t kLocalTemplateType = 2;

// The templates of the browser (SampleType 2), newest first, optionally of
// one style and one room type.
Result<std::vector<TemplateRow>> ReadTemplates(Db& dm, std::optional<int64_t> styleID,
                                               std::optional<int64_t> roomTypeID);
// The browser's two filters; nullopt is "--所有风格--" / "--所有类型--".
struct TemplateFilter {
    std::optional<int64_t> styleID;
    std::optional<int64_t> roomTypeID;
};
Result<int64_t> CountTemplates(Db& dm, const TemplateFilter& filter);
// `limit` rows of the browser's order from `offset` on; a negative limit reads to the end.
Result<std::vector<TemplateRow>> ReadTemplateRange(Db& dm, const TemplateFilter& filter, int64_t offset,
                                                   int64_t limit);
// Any template row by its SampleID.
Result<std::optional<TemplateRow>> ReadTemplate(Db& dm, int64_t sampleID);
// A new template row; yields the SampleID the database assigned.
Result<int64_t> InsertTemplate(Db& dm, const std::string& name, int64_t roomTypeID,
                               int64_t styleID, const Blob& samplePic = {});
Status DeleteTemplate(Db& dm, int64_t sampleID);

}  // namespace v2d

#include "library/super_login.h"

#include <algorithm>

#include "library/user_queries.h"

namespace v2d {

namespace {

// Names are compared in lower case; only ASCII letters change, so the
// bytes of a UTF-8 name stay as typed.
std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

void BecomeAdministrator(CurrentUser& user) {
    user = CurrentUser{kAdministratorName, kAdministratorID, std::to_string(kAdministratorID)};
}

}  // namespace

CurrentUser& ProgramUser() {
    static CurrentUser user;
    return user;
}

bool HasMaintenanceRights(const CurrentUser& user) {
    return user.UserPower == "-999" || user.UserPower == "0";
}

Result<LoginOutcome> TryLogin(Db& dm, std::string_view name, std::string_view password,
                              CurrentUser& user) {
    const std::string lower = LowerAscii(name);
    if (lower.empty()) return LoginOutcome::Refused;
    if (lower == kAdministratorName) {
        Result<std::optional<std::string>> stored = ReadSuperUserPassword(dm);
        if (!stored) return Error{stored.error()};
        if (!stored->has_value())
            return password.empty() ? LoginOutcome::ChooseAdministratorPassword : LoginOutcome::Refused;
        if (**stored != password) return LoginOutcome::Refused;
        BecomeAdministrator(user);
        return LoginOutcome::Granted;
    }
    Result<std::optional<UserRow>> row = FindUser(dm, lower);
    if (!row) return Error{row.error()};
    if (!row->has_value() || (*row)->UserPassWord != password) return LoginOutcome::Refused;
    user = CurrentUser{lower, (*row)->UserID, (*row)->UserPower};
    return LoginOutcome::Granted;
}

Status ChooseAdministratorPassword(Db& dm, std::string_view password, CurrentUser& user) {
    if (password.empty()) return Error{"密码不得为空，请重新输入。"};
    Result<std::optional<std::string>> stored = ReadSuperUserPassword(dm);
    if (!stored) return Error{stored.error()};
    if (stored->has_value()) return Error{"超级用户密码已设置，请重新登录。"};
    if (Status s = CreateSuperUser(dm, std::string(password)); !s) return s;
    BecomeAdministrator(user);
    return Status::Ok();
}

}  // namespace v2d

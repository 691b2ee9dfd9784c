#pragma once
// Who is logged in, and the login rule of "超级用户登录": the administrator
// ("superuser", any case) against TableSuperUser, everyone else against
// TableUser. Rights last for the whole run; nothing logs the user out.
#include <cstdint>
#include <string>
#include <string_view>

#include "library/data_module.h"

namespace v2d {

struct CurrentUser {
    std::string UserName;
    int64_t CurrentUserID = 0;  // -999 for the administrator
    std::string UserPower;      // "-999" for the administrator; empty before any login
};

// The program-wide current user.
CurrentUser& ProgramUser();

// Maintenance rights: the administrator ("-999") or a user of power "0".
bool HasMaintenanceRights(const CurrentUser& user);

enum class LoginOutcome {
    Granted,
    // A database without an administrator row was entered with an empty
    // password: the administrator must choose a password before any right
    // is granted, or the empty one would open the catalogue to everyone.
    ChooseAdministratorPassword,
    Refused,
};

// Checks a name and password; on Granted, `user` becomes that user.
Result<LoginOutcome> TryLogin(Db& dm, std::string_view name, std::string_view password,
                              CurrentUser& user);

// Stores the first administrator password (not empty, and only while the
// database has no administrator row) and makes `user` the administrator.
Status ChooseAdministratorPassword(Db& dm, std::string_view password, CurrentUser& user);

}  // namespace v2d

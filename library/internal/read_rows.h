#pragma once
// The typed reads' one loop: a statement with bound values, each row handed
// to `read`.
#include <functional>
#include <string>
#include <vector>

#include "library/data_module.h"

namespace v2d {

template <class T>
Result<std::vector<T>> ReadRows(Db& dm, const std::string& sql, std::vector<SqlValue> params,
                                const std::function<T(const SqlStatement&)>& read) {
    Result<SqlStatement> s = dm.connection().prepare(sql);
    if (!s) return Error{s.error()};
    if (Status b = s->bindAll(params); !b) return Error{b.error()};
    std::vector<T> rows;
    for (;;) {
        Result<bool> row = s->step();
        if (!row) return Error{row.error()};
        if (!*row) return rows;
        rows.push_back(read(*s));
    }
}

}  // namespace v2d

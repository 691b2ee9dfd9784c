#pragma once
// The key of the product database and of the update databases. Only the
// library and the tests that build encrypted files by hand need it; everyone
// else opens the database through the data module.
namespace v2d {

extern const char kProductDatabasePassword[];

}  // namespace v2d

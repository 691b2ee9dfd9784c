#pragma once
// Texts and paths as they go into an HTML page: escaped text, and file
// addresses a browser loads whatever characters the name holds.
#include <filesystem>
#include <string>
#include <string_view>

namespace v2d {

// "&", "<", ">", '"', "'" and "$" as character references (the last so an
// inserted text never reads as a template's placeholder); the rest as it is.
std::string EscapeHtml(std::string_view text);

// "file://" + the absolute path with every byte outside the unreserved
// characters and "/" percent-encoded (UTF-8), so spaces, "#", "&", quotes and
// Chinese names survive an attribute and the browser's URL parser.
std::string FileUrl(const std::filesystem::path& path);

}  // namespace v2d

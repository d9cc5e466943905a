#pragma once

#include <string>
#include <string_view>

// Every split of a path into folder, name and extension goes through here, so that the
// platform's rules live in one place: the native delimiter, and whether two paths that differ
// only in letter case name the same file.
namespace lumidex::paths {

#ifdef _WIN32
inline constexpr char kDelimiter = '\\';
inline constexpr bool kCaseSensitive = false;
#else
inline constexpr char kDelimiter = '/';
inline constexpr bool kCaseSensitive = true;
#endif

bool IsDelimiter(char c);

// Folder part up to and including the last delimiter; empty when there is none.
std::string_view FolderPart(std::string_view path);
// What follows the last delimiter.
std::string_view FileName(std::string_view path);
// The file name's last dot and what follows it (".jpg"); empty when the name has no dot.
std::string_view Extension(std::string_view path);
// The folder part without its trailing delimiter, except at a root ("/").
std::string ParentOf(std::string_view path);
// Joins a folder and a name with exactly one delimiter between them.
std::string Join(std::string_view folder, std::string_view name);

// The folder with exactly one delimiter at its end ("" becomes the root delimiter).
std::string WithTrailingDelimiter(std::string folder);

// ASCII letters lower-cased, every other byte unchanged.
std::string LowerAscii(std::string_view text);
// ASCII letters upper-cased, every other byte unchanged (the catalogue key).
std::string UpperKey(std::string_view path);
// Case-insensitive ordering of two paths in ASCII upper case, bytewise.
int CompareUpper(std::string_view a, std::string_view b);

// Whether two paths name the same file by the platform's rule.
bool SamePath(std::string_view a, std::string_view b);
// Whether two paths lie directly in the same folder by the platform's rule.
bool SameFolder(std::string_view a, std::string_view b);

} // namespace lumidex::paths

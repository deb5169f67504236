#pragma once

#include <string>
#include <string_view>

namespace analyzer {

// What the "Directories" page edits, read with the page's own defaults: both empty
// when unset (the viewer command's default is not shown).
struct DirectoryOptions {
    std::string logPath;
    std::string viewer;
    bool operator==(const DirectoryOptions&) const = default;
};

// What the "Copy Options" page edits; the mask reads as "a.b.c" when unset.
struct CopyOptions {
    bool maskInboundTarget = false;
    std::string ipMask;
    bool operator==(const CopyOptions&) const = default;
};

DirectoryOptions ReadDirectoryOptions(const std::string& settingsFilePath);
CopyOptions ReadCopyOptions(const std::string& settingsFilePath);

// Each value exactly as typed, also when empty; the switch as "1" or "0".
bool WriteDirectoryOptions(const std::string& settingsFilePath, const DirectoryOptions& options);
bool WriteCopyOptions(const std::string& settingsFilePath, const CopyOptions& options);

// The viewer text for a program chosen by its path, which the viewer command splits back
// into that one program word: each part of the path that holds a blank, a quote or a
// non-ASCII byte (some of which are blanks too) goes in double quotes, a quote in it
// tripled. Quoting parts, not the whole, keeps the settings file from taking the quotes
// as its own.
std::string ViewerTextOfProgram(std::string_view path);

// The directory of a file the chooser returned: the path up to its last separator. A
// file in the root directory gives "/", not an empty path that would mean "no default".
std::string DirectoryOfChosenFile(std::string_view path);

// A file-dialog filter list in the "label|pattern|...||" form, in Qt's form
// ("label (pattern);;..."). "*.*" and "*.exe" become "*": here any name may be a file
// and programs carry no extension.
std::string ToQtFileFilters(std::string_view filterList);

}  // namespace analyzer

#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace morvik::cli {

// The commands that work on many items at once. Each takes the whole command
// line (without the program name) and returns the exit status; a usage error
// writes what was wrong and the command's usage on err.

// import-dir ROM DIR [--palette file|keep|renumber] [--dry-run] [--backup]
// [--fix-checksum] [--force]: every picture of an exported folder, all or none.
int importDirCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// diff A B [--out DIR]: the items whose pictures differ; 0 none, 1 some, 2 trouble.
int diffCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// patch create ORIGINAL MODIFIED OUT [--header], patch apply ROM PATCH OUT
// [--header] [--force] [--backup]: patches of the cartridge data (or, with
// --header, of the files as they are) made and applied.
int patchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// check ROM [--json]: what the game will cut, garble or colour wrongly in
// battle, a line each, then the count; 0 none, 1 some, 2 trouble.
int checkCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// battle ROM FORMATION OUT.png [--background N]: a formation as the game shows it.
int battleCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// palette export ROM KIND INDEX OUT, palette import ROM KIND INDEX FILE
// [--backup] [--fix-checksum] [--force]: an item's palette as a palette file
// (.gpl, .pal, .act, .bin), and a palette file into it through the safe save.
int paletteCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// info ROM --json: the figures of info as one JSON object.
int infoJsonCommand(const std::string& rom, std::ostream& out, std::ostream& err);

}  // namespace morvik::cli

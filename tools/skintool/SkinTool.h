// The skin tool's commands, callable from tests as from main().
//
//   pack     skin.ini and its pictures -> the compressed stored skin
//   unpack   stored skin -> pictures and description
//   lint     stored skin -> what would draw wrongly (exit code 1 when any)
//   preview  stored skin or skin.ini -> PNG pictures of frame and controls
//
// Commands live in one table (name, usage, handler), so a command that
// needs more of the program (a renderer) is one more row.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace zv {

// Runs "skintool <args...>"; returns the process exit code: 0 success, 1 the
// command found problems or failed, 2 bad usage.
int RunSkinTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// How a stored skin is written to a file.
enum class TksStoredSkinFormat {
    ZLib,            // the zlib stream alone (the template's CompressedData bytes)
    CompressedFile,  // int32 version, int32 length, the zlib stream
    Property,        // int32 length, the zlib stream (the template's binary property)
};

// Reads a stored skin written in any of the formats above.
std::vector<std::uint8_t> ReadStoredSkinFile(const std::string& path);

}  // namespace zv

// The skin checker behind "skintool lint": what in a stored skin would make
// a window draw wrongly.
//
//   rects outside the picture (or the element) they are cut from
//   band middles of zero or negative length in layouts that tile them
//   picture indices past the active pictures
//   entries of unknown kind, entries without a kind, missing entries
//   missing required sections, containers the program does not read
//   list boxes naming a scroll bar entry that is not there
#pragma once

#include <string>
#include <vector>

#include "skin/SkinData.h"

namespace zv {

struct TksLintProblem {
    std::string Where;  // section or entry name
    std::string Message;
};

// Checks the compressed skin (the bytes a template stores). Load failures
// are problems too.
std::vector<TksLintProblem> LintStoredSkin(const TksCompressedStoredSkin& stored);

// Checks a loaded skin data against the description it was parsed from.
std::vector<TksLintProblem> LintSkinData(const TksSkinData& data, const TksMemIniFile& description);

}  // namespace zv

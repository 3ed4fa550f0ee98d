// The kinds of fade between two looks of a skin element: the words of the
// skin's "morphkind" key, in their order, and the morphs of the effect
// buffer that carry them out. One type for the skin description and the
// paint core, so that a kind read from a skin goes straight to the morph.
#pragma once

namespace zv {

enum class TMorphKind : int {
    mkDefault = 0,
    mkGradient = 1,
    mkLeftGradient = 2,
    mkRightGradient = 3,
    mkLeftSlide = 4,
    mkRightSlide = 5,
    mkPush = 6
};

}  // namespace zv

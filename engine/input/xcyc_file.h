// Letter X: a grid saved by an earlier run replaces the grid built from
// `koordina`.  `koosurf` gives the bed and top level of every node column,
// `xcyc` the x, y and z of every node; both are written by writespider.
// Reads both files; writes xval, yval, zval, Xc, Yc, the cell geometry and
// FlagGridChange.
#pragma once

namespace zefra {

constexpr const char* NodeFileName = "xcyc";
constexpr const char* SurfaceFileName = "koosurf";

// Takes each file only when it is complete and fits the grid; otherwise the
// log says why and the grid stays as it was.  A changed grid gets its cell
// geometry rebuilt at once, and the next flow computation starts afresh on it.
void ReadXCYC();

}  // namespace zefra

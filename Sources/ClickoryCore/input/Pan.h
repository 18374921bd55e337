// SPDX-License-Identifier: MIT
#pragma once

namespace clickory {

// The stereo placement of a sound from its left-to-right position.
namespace Pan {

// Pan in [-0.85, 0.85] (negative is left) for a position in [0, 1] spread over a stereo width in
// [0, 1]; both arguments are clamped first. A width of 0 puts every key in the centre; the hardest
// pan is 0.85, never fully to one side.
float value(double position, double width);

} // namespace Pan
} // namespace clickory

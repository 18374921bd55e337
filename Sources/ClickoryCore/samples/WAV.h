// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace clickory {

// A minimal WAV writer: one channel of 16-bit integer PCM.
namespace WAV {

// The most samples whose sizes still fit the 32-bit size fields of the header.
inline constexpr std::size_t maxSampleCount = (0xFFFFFFFFu - 36u) / 2u;
// The highest sample rate whose byte rate still fits its 32-bit field.
inline constexpr std::uint32_t maxSampleRate = 0x7FFFFFFFu;

// A complete WAV file (44-byte header, then the samples) holding `samples` as one channel at
// `sampleRate`. Each sample is clamped to -1...1, multiplied by 32767 in float and rounded to the
// nearest integer, halves away from zero; so 1.0 is 32767 and -1.0 is -32767. A sample that is not
// a number is written as silence.
//
// More than maxSampleCount samples, or a rate above maxSampleRate, cannot be described by the
// header; the result is then empty rather than a file whose sizes lie.
std::vector<std::uint8_t> data(const std::vector<float>& samples, std::uint32_t sampleRate);

} // namespace WAV

} // namespace clickory

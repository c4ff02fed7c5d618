// Reading what SDL's disk audio driver wrote: 16-bit stereo frames at 44100
// Hz, as the mixer opens the device. Tests set the driver up for their own
// process, each with its own output file, since tests run side by side.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace diskaudio {
const int RATE = 44100;

// Makes SDL write the audio of this process to `file` (before the device opens).
inline void useDiskDriver(const std::string& file) {
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
}

struct Written {
  std::vector<int16_t> left, right;
};

inline Written read(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Written written;
  for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
    auto sample = [&](size_t at) {
      return static_cast<int16_t>(static_cast<uint8_t>(bytes[at]) |
                                  static_cast<uint8_t>(bytes[at + 1]) << 8);
    };
    written.left.push_back(sample(i));
    written.right.push_back(sample(i + 2));
  }
  return written;
}

// The largest magnitude.
inline int peak(const std::vector<int16_t>& samples) {
  int most = 0;
  for (int16_t s : samples) most = std::max(most, std::abs(static_cast<int>(s)));
  return most;
}

// The longest run of samples within `tolerance` of `level`.
inline size_t longestRunAt(const std::vector<int16_t>& samples, int level, int tolerance = 0) {
  size_t longest = 0, run = 0;
  for (int16_t s : samples) {
    run = std::abs(s - level) <= tolerance ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  return longest;
}

// The lengths of the stretches whose magnitude exceeds `threshold`, in order.
inline std::vector<size_t> soundingStretches(const std::vector<int16_t>& samples, int threshold) {
  std::vector<size_t> stretches;
  size_t run = 0;
  for (int16_t s : samples) {
    if (std::abs(static_cast<int>(s)) > threshold) {
      ++run;
    } else if (run > 0) {
      stretches.push_back(run);
      run = 0;
    }
  }
  if (run > 0) stretches.push_back(run);
  return stretches;
}

// The amplitude of the `hertz` component over `count` samples from `first`
// (a single-bin Fourier sum).
inline double toneAmplitude(const std::vector<int16_t>& samples, size_t first, size_t count,
                            double hertz) {
  double re = 0, im = 0;
  for (size_t i = 0; i < count && first + i < samples.size(); ++i) {
    double phase = 2 * M_PI * hertz * static_cast<double>(i) / RATE;
    re += samples[first + i] * std::cos(phase);
    im += samples[first + i] * std::sin(phase);
  }
  return 2 * std::sqrt(re * re + im * im) / static_cast<double>(count);
}

// The index of the first sample whose magnitude exceeds `threshold`; size() if none.
inline size_t firstSounding(const std::vector<int16_t>& samples, int threshold) {
  for (size_t i = 0; i < samples.size(); ++i)
    if (std::abs(static_cast<int>(samples[i])) > threshold) return i;
  return samples.size();
}
}  // namespace diskaudio

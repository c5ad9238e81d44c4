#include "model_invariants.h"

#include <cmath>
#include <cstring>

#include "cube/model.h"

bool Near(const float* a, const float* b, size_t count, float tolerance) {
  for (size_t i = 0; i < count; ++i) {
    if (!(std::fabs(a[i] - b[i]) <= tolerance)) return false;  // NaN too
  }
  return true;
}

namespace {

// The matrix takes v to want (up to rounding).
bool Carries(const CubieMatrix& m, const float v[3], const float want[3]) {
  float got[3];
  for (int row = 0; row < 3; ++row)
    got[row] = m.m[row] * v[0] + m.m[4 + row] * v[1] + m.m[8 + row] * v[2] + m.m[12 + row];
  return Near(got, want, 3, 1e-4f);
}

std::string BrokenFor(int i) {
  const std::string cubie = "cubie " + std::to_string(i) + ": ";
  if (HomeTable[i] < 0 || HomeTable[i] >= kCubies || SlotTable[HomeTable[i]] != i) {
    return cubie + "slot and home tables disagree";
  }
  for (int d = 0; d < kDirections; ++d) {
    const int a = AxisTable[i][d], f = FacingTable[i][d];
    if (a < 0 || a >= kDirections || f < 0 || f >= kDirections || FacingTable[i][a] != d ||
        AxisTable[i][f] != d) {
      return cubie + "axis and facing rows are not inverse";
    }
  }
  const CubieMatrix& m = CommittedMatrix[i];
  for (int a = 0; a < kDirections; ++a) {  // each axis both ways: the centre stays too
    float v[3] = {0, 0, 0}, want[3] = {0, 0, 0};
    v[a % 3] = a < 3 ? 1.f : -1.f;
    const int f = FacingTable[i][a];
    want[f % 3] = f < 3 ? 1.f : -1.f;
    if (!Carries(m, v, want)) return cubie + "the matrix does not turn axis " + std::to_string(a) + " to its facing";
  }
  float slot[3], home[3];
  for (int k = 0; k < 3; ++k) {
    slot[k] = float(SlotCoordinate(i, k));
    home[k] = float(SlotCoordinate(HomeTable[i], k));
  }
  if (!Carries(m, slot, home)) return cubie + "the matrix does not carry its slot home";
  return "";
}

}  // namespace

std::string BrokenModelInvariant(bool turn_shown) {
  if (SlotTable[kHiddenCubie] != kHiddenCubie) return "slot 13 lost the hidden cubie";
  for (int i = 0; i < kCubies; ++i) {
    const std::string broken = BrokenFor(i);
    if (!broken.empty()) return broken;
    if (!turn_shown && std::memcmp(&AnimatedMatrix[i], &CommittedMatrix[i], sizeof(CubieMatrix)) != 0) {
      return "cubie " + std::to_string(i) + ": animated and committed matrices differ";
    }
  }
  return "";
}

#include "geometry/sine_cosine.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <ios>
#include <utility>

namespace korvane {

namespace {

using Pair = std::pair<double, double>;

Pair of(double radians) {
  SineCosine sc = sine_cosine(radians);
  return {sc.sine, sc.cosine};
}

// The angle in radians korvane turns by for `degrees`.
double turn(double degrees) { return degrees * 3.14159265 * (1.0 / 180.0); }

}  // namespace

TEST(SineCosine, KeepsZeroItsSignAndNan) {
  // Zero keeps its sign; the tiniest angles are their own sine.
  EXPECT_EQ(Pair(0.0, 1.0), of(0.0));
  EXPECT_EQ(true, std::signbit(of(-0.0).first));
  EXPECT_EQ(Pair(0x0.0000000000001p-1022, 1.0), of(0x0.0000000000001p-1022));
  EXPECT_EQ(Pair(-1e-300, 1.0), of(-1e-300));
  // Infinity and NaN give NaN.
  EXPECT_EQ(true, std::isnan(of(INFINITY).first));
  EXPECT_EQ(true, std::isnan(of(-INFINITY).second));
  EXPECT_EQ(true, std::isnan(of(NAN).first));
}

// Each radian angle with its sine and cosine rounded to the nearest double.
TEST(SineCosine, RoundsToTheNearestDoubleAtAnyAngle) {
  const double cases[][3] = {
      // Where a library sine or cosine is commonly a last bit off.
      {1.0, 0x1.aed548f090ceep-1, 0x1.14a280fb5068cp-1},
      {0.057789069051223746, 0x1.d925048b65e3fp-5, 0x1.ff2532cb6e22ep-1},
      {0.062038058576996256, 0x1.fbe3ccac8877dp-5, 0x1.ff03d9e3627edp-1},
      {-0.22172464680319054, -0x1.c2616b7b0f307p-3, 0x1.f3774f0f818dbp-1},
      // Either side of the largest argument taken without reduction.
      {0x1.921fb54442d18p-1, 0x1.6a09e667f3bccp-1, 0x1.6a09e667f3bcdp-1},
      {0x1.921fb54442d19p-1, 0x1.6a09e667f3bcdp-1, 0x1.6a09e667f3bccp-1},
      // korvane's turns by the short pi, in every quadrant.
      {turn(30), 0x1.fffffff719300p-2, 0x1.bb67ae8816a0dp-1},
      {turn(-30), -0x1.fffffff719300p-2, 0x1.bb67ae8816a0dp-1},
      {turn(90), 1.0, 0x1.ed609d1a62633p-30},
      {turn(180), 0x1.ed609d1a62633p-29, -1.0},
      {turn(270), -1.0, -0x1.720874d3c9ca6p-28},
      {turn(360), -0x1.ed609d1a62633p-28, 1.0},
      // Double pi/2 and pi: the residues of the true pi.
      {0x1.921fb54442d18p+0, 1.0, 0x1.1a62633145c07p-54},
      {0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53, -1.0},
      // Huge arguments, reduced exactly; the last is the double nearest a
      // multiple of pi/2, where 61 bits of the reduction cancel.
      {turn(1e18), -0x1.c78d1148de517p-1, -0x1.d3681a937e3cfp-2},
      {1e22, -0x1.b453ab76bf397p-1, 0x1.0be2cef01c8f4p-1},
      {DBL_MAX, 0x1.452fc98b34e97p-8, -0x1.fffe62ecfab75p-1},
      {0x1.6ac5b262ca1ffp+849, 1.0, -0x1.14ae72e6ba22fp-61},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Pair(c[1], c[2]), of(c[0])) << std::hexfloat << c[0];
}

}  // namespace korvane

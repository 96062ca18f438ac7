#include "geometry/sine_cosine.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
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

TEST(SineCosine, KeepsZeroAndItsSign) {
  EXPECT_EQ(Pair(0.0, 1.0), of(0.0));
  EXPECT_EQ(true, std::signbit(of(-0.0).first));
  EXPECT_EQ(Pair(0x0.0000000000001p-1022, 1.0), of(0x0.0000000000001p-1022));
  EXPECT_EQ(Pair(-1e-300, 1.0), of(-1e-300));
}

// Values where a library sine or cosine is commonly a last bit off.
TEST(SineCosine, RoundsToTheNearestDouble) {
  EXPECT_EQ(Pair(0x1.aed548f090ceep-1, 0x1.14a280fb5068cp-1), of(1.0));
  EXPECT_EQ(Pair(0x1.d925048b65e3fp-5, 0x1.ff2532cb6e22ep-1),
            of(0.057789069051223746));
  EXPECT_EQ(Pair(0x1.fbe3ccac8877dp-5, 0x1.ff03d9e3627edp-1),
            of(0.062038058576996256));
  EXPECT_EQ(Pair(-0x1.c2616b7b0f307p-3, 0x1.f3774f0f818dbp-1),
            of(-0.22172464680319054));
  // Either side of the largest argument taken without reduction.
  EXPECT_EQ(Pair(0x1.6a09e667f3bccp-1, 0x1.6a09e667f3bcdp-1),
            of(0x1.921fb54442d18p-1));
  EXPECT_EQ(Pair(0x1.6a09e667f3bcdp-1, 0x1.6a09e667f3bccp-1),
            of(0x1.921fb54442d19p-1));
}

TEST(SineCosine, TurnsByTheShortPiInEveryQuadrant) {
  EXPECT_EQ(Pair(0x1.fffffff719300p-2, 0x1.bb67ae8816a0dp-1), of(turn(30)));
  EXPECT_EQ(Pair(-0x1.fffffff719300p-2, 0x1.bb67ae8816a0dp-1), of(turn(-30)));
  EXPECT_EQ(Pair(1.0, 0x1.ed609d1a62633p-30), of(turn(90)));
  EXPECT_EQ(Pair(0x1.ed609d1a62633p-29, -1.0), of(turn(180)));
  EXPECT_EQ(Pair(-1.0, -0x1.720874d3c9ca6p-28), of(turn(270)));
  EXPECT_EQ(Pair(-0x1.ed609d1a62633p-28, 1.0), of(turn(360)));
  // Double pi/2 and pi: the residues of the true pi.
  EXPECT_EQ(Pair(1.0, 0x1.1a62633145c07p-54), of(0x1.921fb54442d18p+0));
  EXPECT_EQ(Pair(0x1.1a62633145c07p-53, -1.0), of(0x1.921fb54442d18p+1));
}

TEST(SineCosine, ReducesHugeArgumentsExactly) {
  EXPECT_EQ(Pair(-0x1.c78d1148de517p-1, -0x1.d3681a937e3cfp-2), of(turn(1e18)));
  EXPECT_EQ(Pair(-0x1.b453ab76bf397p-1, 0x1.0be2cef01c8f4p-1), of(1e22));
  EXPECT_EQ(Pair(0x1.452fc98b34e97p-8, -0x1.fffe62ecfab75p-1), of(DBL_MAX));
  // The double nearest a multiple of pi/2: 61 bits of the reduction cancel.
  EXPECT_EQ(Pair(1.0, -0x1.14ae72e6ba22fp-61), of(0x1.6ac5b262ca1ffp+849));
}

TEST(SineCosine, GivesNanForInfinityAndNan) {
  EXPECT_EQ(true, std::isnan(of(INFINITY).first));
  EXPECT_EQ(true, std::isnan(of(-INFINITY).second));
  EXPECT_EQ(true, std::isnan(of(NAN).first));
}

}  // namespace korvane

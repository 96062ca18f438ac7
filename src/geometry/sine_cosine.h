// Sine and cosine computed by korvane itself, so that every platform's build
// draws the same digits: C libraries differ in the last bit of sin and cos
// (mingw-w64's reduce large angles with a 66-bit pi), and a last bit can
// decide a written decimal.
#pragma once

namespace korvane {

struct SineCosine {
  double sine;
  double cosine;
};

// The sine and cosine of `radians`, each the exact value rounded to the
// nearest double (carried to about 2^-104, so a rare value that close to a
// rounding tie may round the other way). Every finite argument is reduced
// exactly; infinities and NaN give NaN.
SineCosine sine_cosine(double radians);

}  // namespace korvane

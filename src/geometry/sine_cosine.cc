#include "geometry/sine_cosine.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace korvane {

namespace {

// A value carried as the unevaluated sum hi + lo, |lo| <= ulp(hi) / 2.
struct Double2 {
  double hi;
  double lo;
};

Double2 two_sum(double a, double b) {
  double s = a + b;
  double b_part = s - a;
  return {s, (a - (s - b_part)) + (b - b_part)};
}

// Needs |a| >= |b|.
Double2 quick_two_sum(double a, double b) {
  double s = a + b;
  return {s, b - (s - a)};
}

// a * b exactly as hi + lo, by Dekker's splitting (no fused multiply-add).
Double2 two_product(double a, double b) {
  constexpr double kSplit = 134217729.0;  // 2^27 + 1
  double p = a * b;
  double ta = kSplit * a, tb = kSplit * b;
  double a_hi = ta - (ta - a), a_lo = a - a_hi;
  double b_hi = tb - (tb - b), b_lo = b - b_hi;
  double e = ((a_hi * b_hi - p) + a_hi * b_lo + a_lo * b_hi) + a_lo * b_lo;
  return {p, e};
}

Double2 add(Double2 a, Double2 b) {
  Double2 s = two_sum(a.hi, b.hi);
  Double2 t = two_sum(a.lo, b.lo);
  s = quick_two_sum(s.hi, s.lo + t.hi);
  return quick_two_sum(s.hi, s.lo + t.lo);
}

Double2 multiply(Double2 a, Double2 b) {
  Double2 p = two_product(a.hi, b.hi);
  return quick_two_sum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

Double2 divide(Double2 a, double b) {
  double q1 = a.hi / b;
  Double2 p = two_product(q1, b);
  Double2 r = two_sum(a.hi, -p.hi);
  double q2 = (r.hi + (r.lo - p.lo + a.lo)) / b;
  return quick_two_sum(q1, q2);
}

Double2 negate(Double2 a) { return {-a.hi, -a.lo}; }

// pi / 2 to 106 bits.
constexpr Double2 kHalfPi = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};
// The largest double below pi / 4: smaller arguments need no reduction.
constexpr double kQuarterPi = 0x1.921fb54442d18p-1;

// The binary digits of 2 / pi after the point, 32 a word: enough for the
// largest double.
constexpr uint32_t kTwoOverPi[] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041,
    0xFE5163AB, 0xDEBBC561, 0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C,
    0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484, 0xE99C7026, 0xB45F7E41,
    0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F,
    0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7, 0x4F463F66, 0x9E5FEA2D,
    0x7527BAC7, 0xEBE5F17B, 0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08,
    0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D};

constexpr int kWindow = 9;             // words of 2 / pi used per reduction
constexpr int kProduct = kWindow + 2;  // words of mantissa times window

// A number of kProduct 32-bit words, least significant first.
struct Wide {
  uint32_t word[kProduct] = {};
};

bool bit_at(const Wide& w, int at) {
  return at >= 0 && at < 32 * kProduct && (w.word[at / 32] >> (at % 32)) & 1;
}

// The 64 bits from bit `from` up; bits below 0 read as zero.
uint64_t bits_from(const Wide& w, int from) {
  uint64_t v = 0;
  for (int i = 63; i >= 0; --i) v = v << 1 | bit_at(w, from + i);
  return v;
}

void negate(Wide& w) {
  uint64_t carry = 1;
  for (uint32_t& word : w.word) {
    uint64_t t = uint64_t{static_cast<uint32_t>(~word)} + carry;
    word = static_cast<uint32_t>(t);
    carry = t >> 32;
  }
}

// m * the kWindow words of 2 / pi from word `first` on.
Wide times_two_over_pi(uint64_t m, int first) {
  Wide q;
  const uint32_t halves[2] = {static_cast<uint32_t>(m),
                              static_cast<uint32_t>(m >> 32)};
  for (int j = 0; j < kWindow; ++j) {
    uint64_t w = kTwoOverPi[first + kWindow - 1 - j];
    uint64_t carry = 0;
    for (int k = 0; j + k < kProduct; ++k) {
      uint64_t t = (k < 2 ? w * halves[k] : 0) + q.word[j + k] + carry;
      q.word[j + k] = static_cast<uint32_t>(t);
      carry = t >> 32;
    }
  }
  return q;
}

// The bits of q below bit `point`, as a fraction of 1, to about 2^-106.
Double2 fraction_below(const Wide& q, int point) {
  int top = point - 1;
  while (top >= 0 && !bit_at(q, top)) --top;
  if (top < 0) return {0, 0};
  uint64_t a = bits_from(q, top - 63), b = bits_from(q, top - 127);
  Double2 f = two_sum(std::ldexp(static_cast<double>(a >> 32), 32),
                      static_cast<double>(a & 0xFFFFFFFF));
  f = add(f, {std::ldexp(static_cast<double>(b >> 32), -32), 0});
  f = add(f, {std::ldexp(static_cast<double>(b & 0xFFFFFFFF), -64), 0});
  int scale = top - 63 - point;
  return {std::ldexp(f.hi, scale), std::ldexp(f.lo, scale)};
}

// Writes x >= pi / 4 (finite) as (quadrant + r / (pi / 2)) * pi / 2 plus a
// multiple of 2 pi, |r| <= pi / 4; returns the quadrant, 0 to 3.
int reduce(double x, Double2& r) {
  int exponent;
  double mantissa = std::frexp(x, &exponent);
  uint64_t m = static_cast<uint64_t>(std::ldexp(mantissa, 53));
  int e = exponent - 53;  // x = m * 2^e
  // Bits of 2 / pi before bit e - 1 add multiples of 4 quadrants.
  int first_bit = e - 1 < 1 ? 1 : e - 1;
  int first = (first_bit - 1) / 32;
  Wide q = times_two_over_pi(m, first);
  int point = 32 * (first + kWindow) - e;  // bits of q after the point
  int quadrant = bit_at(q, point + 1) * 2 + bit_at(q, point);
  bool below = bit_at(q, point - 1);  // fraction >= 1/2: from the next one
  if (below) {
    quadrant = (quadrant + 1) % 4;
    negate(q);
  }
  r = multiply(fraction_below(q, point), kHalfPi);
  if (below) r = negate(r);
  return quadrant;
}

// The series that starts at `first` and makes each next term the last one
// times -r^2 / ((n - 1) n), for n = start, start + 2, ... below 32: sin r
// from (r, 3), cos r from (1, 2). Good to about 2^-104 for |r| <= pi / 4.
Double2 series(Double2 r, Double2 first, int start) {
  Double2 r2 = multiply(r, r), term = first, sum = first;
  for (int n = start; n < 32; n += 2) {
    term = divide(multiply(term, r2), -static_cast<double>((n - 1) * n));
    sum = add(sum, term);
  }
  return sum;
}

}  // namespace

SineCosine sine_cosine(double radians) {
  if (!std::isfinite(radians)) {
    double nan = std::numeric_limits<double>::quiet_NaN();
    return {nan, nan};
  }
  if (radians == 0) return {radians, 1.0};  // keeps the sign of zero
  double x = std::fabs(radians);
  Double2 r = {x, 0};
  int quadrant = x <= kQuarterPi ? 0 : reduce(x, r);
  double s = series(r, r, 3).hi, c = series(r, {1, 0}, 2).hi;
  for (int i = 0; i < quadrant; ++i) {  // a quarter turn further
    double before = s;
    s = c;
    c = -before;
  }
  SineCosine result = {s, c};
  if (radians < 0) result.sine = -result.sine;
  return result;
}

}  // namespace korvane

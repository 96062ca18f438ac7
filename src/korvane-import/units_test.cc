#include "korvane-import/units.h"

#include <gtest/gtest.h>

#include <string>

#include "text/text_output.h"

namespace korvane {

namespace {

// A length read back as "value unit", or "error".
std::string length(const char* field, DecimalMark mark) {
  double value = 0;
  Unit unit = Unit::kNone;
  if (read_length(field, mark, value, unit) != 0) return "error";
  return shortest_text(value) + " " + unit_name(unit);
}

}  // namespace

TEST(ReadLength, TakesNumbersWithAUnitOrNone) {
  const char* const cases[][3] = {
      {"12.7mm", "12.7 mm", ""},      {"1594.5mil", "1594.5 mil", ""},
      {" 1.5 in ", "1.5 in", ""},     {"-85.09", "-85.09 none", ""},
      {"+.5", "0.5 none", ""},        {"5.", "5 none", ""},
      {"2e3MIL", "2000 mil", ""},     {"12,7mm", "error", ""},
      {"12,7mm", "12.7 mm", "comma"}, {"1,234.5", "error", "comma"},
      {"12.7 cm", "error", ""},       {"", "error", ""},
      {"inf", "error", ""},           {"nan", "error", ""},
      {"0x10", "error", ""},          {"1.2.3", "error", ""},
      {"-0", "0 none", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c[1], length(c[0], *c[2] ? DecimalMark::kPointOrComma
                                       : DecimalMark::kPoint))
        << c[0];
  // Past the largest double: held there, as korvane reads it.
  EXPECT_EQ("1.7976931348623157e+308 none",
            length("1e999", DecimalMark::kPoint));
}

TEST(ReadAngle, TakesDegreesOnly) {
  double angle = 7;
  EXPECT_EQ(0, read_angle("90deg", DecimalMark::kPoint, angle));
  EXPECT_EQ(90, angle);
  EXPECT_EQ(0, read_angle("-45\xc2\xb0", DecimalMark::kPoint, angle));
  EXPECT_EQ(-45, angle);
  EXPECT_EQ(-1, read_angle("90mm", DecimalMark::kPoint, angle));
  EXPECT_EQ(-1, read_angle("ninety", DecimalMark::kPoint, angle));
  EXPECT_EQ(-45, angle);
}

TEST(Units, ComeFromHeadingsAndDeclarations) {
  EXPECT_EQ(Unit::kMil, heading_unit("Center-X(mil)"));
  EXPECT_EQ(Unit::kMm, heading_unit("PosX [mm]"));
  EXPECT_EQ(Unit::kNone, heading_unit("Mid X"));
  EXPECT_EQ(Unit::kMil, declared_unit("Units used in this file : mil"));
  EXPECT_EQ(Unit::kMm, declared_unit("## Unit = mm, Angle = deg."));
  EXPECT_EQ(Unit::kMm, declared_unit("UUNITS = MILLIMETERS\n"));
  EXPECT_EQ(Unit::kMil, declared_unit("# X,Y in mils.  rotation in degrees."));
  EXPECT_EQ(Unit::kNone, declared_unit("Units used in this file"));
  EXPECT_EQ(Unit::kNone, declared_unit("Date: 2026-12-07"));
}

TEST(ConvertLength, UsesTheInchOf25Point4Millimetres) {
  EXPECT_EQ(40.5003, convert_length(1594.5, Unit::kMil, Unit::kMm));
  EXPECT_EQ(500, convert_length(12.7, Unit::kMm, Unit::kMil));
  EXPECT_EQ(1.5, convert_length(1500, Unit::kMil, Unit::kIn));
  EXPECT_EQ(25.4, convert_length(1, Unit::kIn, Unit::kMm));
  EXPECT_EQ("1e+20", shortest_text(convert_length(1e20, Unit::kMm, Unit::kMm)));
}

}  // namespace korvane

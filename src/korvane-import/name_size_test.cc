#include "korvane-import/name_size.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace korvane {

using namespace std::string_view_literals;

namespace {

// A name with the size it states and the source of it.
struct NameCase {
  std::string_view code;
  double length;
  double width;
  const char* source;
};

const NameCase kSized[] = {
    {"R_0603_1608Metric", 1.6, 0.8, "KiCad _1608Metric"},
    {"C_0603_1608Metric_Pad1.08x0.95mm_HandSolder", 1.6, 0.8,
     "KiCad _1608Metric"},
    {"R_2512_6332Metric", 6.3, 3.2, "KiCad _6332Metric"},
    {"C_01005_0402Metric", 0.4, 0.2, "KiCad _0402Metric"},
    {"R_1020_2550Metric", 2.5, 5.0, "KiCad _2550Metric"},
    {"C_3640_9110Metric", 9.1, 10.2, "KiCad _9110Metric"},
    {"LED_0603_1608metric", 1.6, 0.8, "KiCad _1608metric"},
    {"Resistor_SMD:R_0402_1005Metric", 1.0, 0.5, "KiCad _1005Metric"},
    {"SOIC-8_3.9x4.9mm_P1.27mm", 3.9, 4.9, "KiCad _3.9x4.9mm"},
    {"QFN-32-1EP_5x5mm_P0.5mm_EP3.6x3.6mm", 5, 5, "KiCad _5x5mm"},
    {"Crystal_SMD_3225-4Pin_3.2x2.5mm", 3.2, 2.5, "KiCad _3.2x2.5mm"},
    {"TSSOP-20_4.4x6.5x1.1mm", 4.4, 6.5, "KiCad _4.4x6.5x1.1mm"},
    {"CAPC1608X87X35LL15T15", 1.6, 0.8, "IPC-7351 CAPC1608"},
    {"RESC1005X40N", 1.0, 0.5, "IPC-7351 RESC1005"},
    {"CAPMP3528X210N", 3.5, 2.8, "IPC-7351 CAPMP3528"},
    {"Lib:LEDC3216X75", 3.2, 1.6, "IPC-7351 LEDC3216"},
    {"SOD3716X135N", 3.7, 1.6, "IPC-7351 SOD3716"},
    {"QFN50P500X500X100-33N", 5.0, 5.0, "IPC-7351 QFN50P500X500"},
    {"TI-QFN50P350X350X100-19_15T205X205", 3.5, 3.5, "IPC-7351 QFN50P350X350"},
    {"PSON65P300X300X80-9N", 3.0, 3.0, "IPC-7351 PSON65P300X300"},
    {"QFP50P1200X1200X160-64N", 12.0, 12.0, "IPC-7351 QFP50P1200X1200"},
    {"SOT-23_L2.9-W1.3-P1.90-LS2.4-BR", 2.9, 1.3, "LCSC _L2.9-W1.3"},
    {"CRYSTAL-SMD_4P-L3.2-W2.5-BL", 3.2, 2.5, "LCSC -L3.2-W2.5"},
    {"LQFN-56_L7.0-W7.0-P0.4-EP", 7.0, 7.0, "LCSC _L7.0-W7.0"},
    {"C0402", 1.0, 0.5, "chip 0402"},
    {"R_0402", 1.0, 0.5, "chip 0402"},
    {"LED-0603", 1.6, 0.8, "chip 0603"},
    {"0402-RES", 1.0, 0.5, "chip 0402"},
    {"c_1206_HandSoldering", 3.2, 1.6, "chip 1206"},
    {"Resistors_SMD:R_2512", 6.3, 3.2, "chip 2512"},
    {"LED0805-R-RD", 2.0, 1.25, "chip 0805"},
    {"1808", 4.5, 2.0, "chip 1808"},
};

// Names that state no size, or none certain enough to draw.
const std::string_view kUnknown[][4] = {
    {"TQFP-64", "QFN-24", "SOT-23", "SOIC-8"},
    {"LQFP-64", "HVQFN33", "TP-1.0", "SOD-123"},
    {"Molex 105450-0101", "Molex 105450-0402", "LED_RGB_5050-6", "SOD323"},
    {"Everlight_IRM-3638-Footprint-1", "PCB-0wz5cygkzjk26dn1bz6x-1", "M0805",
     "X2-DFN1006-2"},
    // KiCad fields that are no body, codes at odds with themselves.
    {"R_Axial_DIN0207_L6.3mm_D2.5mm_P10.16mm_Horizontal",
     "C_Rect_L7.0mm_W2.0mm_P5.00mm", "PinHeader_2x05_P2.54mm_Vertical",
     "R_Array_Convex_4x0603"},
    {"CP_Elec_6.3x7.7", "R_0603_2012Metric", "R_4020_10251Metric",
     "R_0603_1608Metrics"},
    // IPC-7351: no height, chips in hundredths, oblong many-lead parts
    // whose axis the name leaves open, letters no IPC family has.
    {"CAPC1608", "CAPC60X32X27L15", "RESCAV80P320X160X70-8N",
     "QFN50P300X400X100-21N"},
    {"VQFN50P400X400X100-25N", "LQFP50P1200X1200X160-64N", "QFN50P",
     "CAPC1608X"},
    // LCSC look-alikes; chip codes with more than a part type, or metric.
    {"RES-TH_BD2.4-L6.3-P10.30-D0.6", "sot-23_l2.9-w1.3", "L2.9-W1.3",
     "_L2.9-W1.3mm"},
    {"DFN0603", "CHIPLED_0603", "C1005", "C01005"},
    {"R0603-2", "R_0402_", "0402 ", "_1608Metri"},
    // Hostile bytes.
    {"", "_", "_L", "-L-W"},
    {"_L1.-W2", "_1.x2mm", "_.5x.5mm", "_0x3mm"},
    {"_1001x3mm", "_L99999999999999999999999-W1", "_3x3m", "_3x3mmX"},
    {"_1\0x3mm"sv, "C0402\0"sv, "R\0_0402"sv, "\xff\xfe_1x1mm\x80"},
};

}  // namespace

TEST(NameSize, ReadsEachFamilyAndNothingElse) {
  for (const NameCase& c : kSized) {
    NamedSize size;
    std::string name(c.code);
    EXPECT_TRUE(size_from_name(c.code, size)) << name;
    EXPECT_NEAR(c.length, size.length, 1e-9) << name;
    EXPECT_NEAR(c.width, size.width, 1e-9) << name;
    EXPECT_EQ(c.source, size.source) << name;
  }
  for (const auto& row : kUnknown) {
    for (std::string_view code : row) {
      NamedSize size{7, 8, "unread"};
      EXPECT_FALSE(size_from_name(code, size)) << std::string(code);
      EXPECT_EQ(7, size.length);
      EXPECT_EQ(8, size.width);
      EXPECT_EQ("unread", size.source);
    }
  }
}

}  // namespace korvane

// Reading the body size that a part code's name states, and nothing more:
// a name that states none, or states one this file cannot be sure of, gets
// none, as a wrong size drawn as a right one is worse than no size at all.
//
// The naming families, in the order size_from_name tries them, with the
// unit of their numbers:
//
//   KiCad metric    "_" LLWW "Metric", then the end or "_"; 0.1 mm.
//                   R_0603_1608Metric is 1.6 by 0.8.
//   IPC-7351 chip   CAPC CAPCP CAPM CAPMP DIOC INDC LEDC RESC + LLWW + "X"
//                   + height; 0.1 mm. CAPC1608X87N is 1.6 by 0.8.
//   IPC-7351 SOD    SOD + lead span, body width + "X" + height; 0.1 mm.
//                   SOD3716X135N is 3.7 by 1.6.
//   IPC-7351 pitch  QFN PQFN SON PSON DFN QFP CQFP RESCAV RESCAF CAPCAV
//                   CAPCAF + pitch "P" X "X" Y "X" height; 0.01 mm; X = Y
//                   only. QFN50P500X500X100-33N is 5.0 by 5.0 (QFP: leads).
//   LCSC/EasyEDA    "_L" or "-L" length "-W" width, then the end, "-" or
//                   "_"; mm. SOT-23_L2.9-W1.3-P1.90-LS2.4-BR is 2.9 by 1.3.
//   KiCad body      "_" X "x" Y ("x" Z) "mm", then the end or "_"; mm.
//                   SOIC-8_3.9x4.9mm_P1.27mm is 3.9 by 4.9.
//   chip code       The whole name: a part type, an EIA code 0201 0402 0603
//                   0805 1008 1206 1210 1806 1808 1812 2010 2512, letters,
//                   all but the code optional; the standard body. LED-0603
//                   is 1.6 by 0.8.
//
// The first family that reads a size wins. A real name fits one family at
// most; the order only settles a made-up name that fits two, for the family
// with the more explicit mark. KiCad, chip codes: letters in any case (KiCad
// writes "Metric", "x", "mm"; chip names come as C0402 and c0402); IPC-7351,
// LCSC: upper case, as their conventions write them. Where a metric code
// rounds a standard chip (2012 for 2.0 by 1.25 mm) the standard body is
// read; other codes are read as they stand.
//
// Numbers are digits with an optional point and more digits: no sign, no
// exponent, no comma, no locale. A side of 0 or past 1000 mm is not read.
#pragma once

#include <string>
#include <string_view>

namespace korvane {

// A body size that a part code's name states, in millimetres.
struct NamedSize {
  double length = 0;  // along the footprint's X axis
  double width = 0;   // along its Y axis
  // The rule and the part of the name it read: "IPC-7351 CAPC1608",
  // "LCSC _L2.9-W1.3", "KiCad _1608Metric", "KiCad _3.9x4.9mm", "chip 0402".
  std::string source;
};

// Reads the body size `code` states by one of the naming families above,
// tried in a fixed order; false, leaving `size` alone, when it states none.
bool size_from_name(std::string_view code, NamedSize& size);

}  // namespace korvane

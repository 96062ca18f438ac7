#!/usr/bin/env python3
"""End-to-end cases for korvane-import: each writes a CAD program's export
into a fresh working directory, runs korvane-import on it and then korvane
on the xy files it wrote, and checks the outlines of the drawings against
the parts' known places and sizes. Error cases check the status, the
"file:line:" message and that nothing was written.

usage: import_e2e.py [--as-nobody] KORVANE_IMPORT KORVANE [EMULATOR...]
The optional emulator (wine, say) goes in front of each executable.
--as-nobody runs the case that needs root alone, or ends with 77 (skip).
"""

import math
import os
import signal
import subprocess
import sys
import tempfile
import time

from e2e import (TEMPLATES, HardLink, Link, as_nobody, lay_out, nobody_table,
                 outlines, run_table, run_with)

SIZES_MM = (b"no\tcode\tlength\twidth\n1\tC_0603_1608Metric\t1.6\t0.8\n"
            b"2\tR_0603_1608Metric\t1.6\t0.8\n3\tSOIC-8\t5\t4\n"
            b"4\tMolex 105450-0101\t9\t7.5\n5\tLQFP-64\t12\t12\n")
SIZES_MIL = (b"no\tcode\tlength(mil)\twidth(mil)\n1\tMolex 105450-0101\t350\t300\n"
             b"2\tLQFP-64\t470\t470\n3\tSOIC-8\t200\t150\n")

# --- the exports, written from the layouts each CAD program uses ---------

KICAD_POS = b"""### Footprint positions - created on 2026-12-07 ###
### Printed by the board editor
## Unit = mm, Angle = deg.
## Side : All
# Ref     Val       Package               PosX       PosY       Rot  Side
C1        100nF     C_0603_1608Metric   120.6500   -85.0900  180.0000  top
R7        "10 k"    R_0603_1608Metric   130.0000   -90.5000   90.0000  bottom
U1        LM358     SOIC-8              100.0000   -70.0000  -45.0000  top
## End
"""
KICAD_CSV = (b'Ref,Val,Package,PosX,PosY,Rot,Side\r\n'
             b'"C1","100nF","C_0603_1608Metric",120.65,-85.09,180.0,top\r\n'
             b'"R7","10k, 1%","R_0603_1608Metric",130,-90.5,90,bottom\r\n')
ALTIUM_PREAMBLE = (b"Altium Designer Pick and Place Locations\r\n"
                   b"C:\\boards\\probe\\probe.PcbDoc\r\n\r\n"
                   b"========================================================\r\n"
                   b"File Design Information:\r\n\r\n"
                   b"Date:       07/12/26\r\nTime:       10:40\r\n"
                   b"Revision:   Not in VersionControl\r\n"
                   b"Variant:    No variations\r\n"
                   b"Units used in this file : mil\r\n\r\n")
ALTIUM_TXT = ALTIUM_PREAMBLE + (
    b'Designator Comment   Layer       Footprint           '
    b'Center-X(mil) Center-Y(mil) Rotation Description\r\n'
    b'"J1"       "USB-C"   TopLayer    "Molex 105450-0101" '
    b'1594.5        500.25        270      "USB, type C"\r\n'
    b'"U2"       "MCU"     BottomLayer LQFP-64             '
    b'2000mil       100mil        45       ""\r\n')
ALTIUM_CSV = ALTIUM_PREAMBLE + (
    b'"Designator","Comment","Layer","Footprint","Center-X(mil)",'
    b'"Center-Y(mil)","Rotation","Description"\r\n'
    b'"J1","USB-C","TopLayer","Molex 105450-0101","1594.5","500.25","270",'
    b'"USB, type C"\r\n'
    b'"U2","MCU","BottomLayer","LQFP-64","2000mil","100mil","45",""\r\n')
JLC_CSV = (b"\xef\xbb\xbfDesignator,Footprint,Mid X,Mid Y,Layer,Rotation\n"
           b"C1,C_0603_1608Metric,12.7mm,3.5mm,T,90\n"
           b"U1,SOIC-8,25.4mm,-10mm,B,180\n")
JLC_TAB_QUIRK = (b"Designator,Footprint,Mid X,Mid Y,Layer,Rotation\n"
                 b'"U6"\t,"SOIC-8"\t,"12.7mm"\t,"3.5mm"\t,"T"\t,"90"\n')
EASYEDA_UTF16 = ("\ufeff"
    "Designator\tFootprint\tMid X\tMid Y\tRef X\tRef Y\tPad X\tPad Y\t"
    "Layer\tRotation\tComment\r\n"
    "U1\tLQFP-64\t1594.5mil\t500mil\t1500mil\t400mil\t1590mil\t490mil\t"
    "T\t0\tMCU \u00b5C\r\n"
    "J1\tMolex 105450-0101\t100mil\t-200mil\t0mil\t0mil\t0mil\t0mil\t"
    "B\t270\tUSB\r\n").encode("utf-16-le")
EAGLE_MNT = (b"C1 12.70 25.40  90 100nF 50V C_0603_1608Metric\n"
             b"U1 40.00 20.00   0  SOIC-8\n"
             b"R3 5.00 -3.00 180 1k @ 1% R_0603_1608Metric\n")
PLACE_TXT = (b"UUNITS = MILS\r\n"
             b"C1 500.00 1000.00 90.000 C_0603_1608Metric\r\n"
             b"U1 1500.00 800.00 0.000 m SOIC-8\r\n")
EAGLE_ARGS = ["--ref", "1", "--x", "2", "--y", "3", "--angle", "4",
              "--code", "6"]
DIPTRACE = (b"RefDes,Name,X (in),Y (in),Side,Rotate,Value\r\n"
            b"C1,C_0603_1608Metric,0.5,1,Top,90,100nF\r\n"
            b"U1,SOIC-8,1.5,0.8,Bottom,0,LM358\r\n")
GEDA_XY = b"""# PcbXY Version 1.0
# Date: Mon Dec  7 10:40:00 2026 UTC
# Title: probe - PCB X-Y
# RefDes, Description, Value, X, Y, rotation, top/bottom
# X,Y in mils.  rotation in degrees.
# --------------------------------------------
J1,"Molex 105450-0101","USB-C",1594.50,500.25,270,top
U2,"LQFP-64","MCU",2000.00,100.00,45,bottom
"""
SIDES_CSV = b"Ref,Package,PosX,PosY,Rot,Side\n" + b"".join(
    b"C%d,C_0603_1608Metric,%d,2,0,%s\n" % (i, i, side) for i, side in
    enumerate([b"F.Cu", b"B.Cu", b"Back", b"TopLayer", b"Inner1"]))
LQFP_10X10 = "LQFP-64 10\u00d710"
ALTIUM_1252 = ALTIUM_CSV.replace(b"USB, type", b"\xb110 %").replace(
    b"LQFP-64", LQFP_10X10.encode("cp1252"))
SEMICOLON_CSV = (b"Designator;Package;Pos X;Pos Y;Rotation;Side\n"
                 b"C1;C_0603_1608Metric;12,7;3,5;90;top\n")
# Altium's text export without a preamble: columns aligned with blanks,
# two-word headings, a comment with blanks, or none.
ALTIUM_CODES = [(b"C_0603_1608Metric", 1.6, 0.8), (b"SOIC-8", 5, 4),
                (b"LQFP-64", 12, 12)]
ALTIUM_PARTS = [(i % 20 * 5.5, i // 20 * -4.25 + 0, *ALTIUM_CODES[i % 3][1:],
                 i * 15 % 360) for i in range(436)]
ALTIUM_PLAIN = (
    b"Designator Footprint                 Mid X         Mid Y         "
    b"Ref X         Ref Y         Pad X         Pad Y TB      Rotation "
    b"Comment\r\n\r\n" + b"".join(
        (b"%-10s %-25s" + b" %-13s" * 5 + b" %-10s %-7s %-8s %s\r\n") % (
            b"U%d" % (i + 1), ALTIUM_CODES[i % 3][0],
            *[b"%.4fmm" % v for v in (x, y) * 3], b"TB"[i % 2:i % 2 + 1],
            b"%d.00" % angle, [b"100nF", b"Solder Bridge 0402", b""][i % 3])
        for i, (x, y, _, _, angle) in enumerate(ALTIUM_PARTS)))


EXAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..",
                       "examples", "board")
SHIPPED = {name: open(os.path.join(EXAMPLE, name), "rb").read().replace(
    b"\n", b"\r\n") for name in TEMPLATES}


def many(count):
    return b"Ref,Package,PosX,PosY,Rot\n" + b"".join(
        b"R%d,R_0603_1608Metric,%d,%d,0\n" % (i, i % 50, i // 50)
        for i in range(1, count + 1))


# Parts of the exports above: (x, y, length, width, angle).
KICAD_PARTS = [(120.65, -85.09, 1.6, 0.8, 180), (130, -90.5, 1.6, 0.8, 90),
               (100, -70, 5, 4, -45)]
ALTIUM_MIL = [(1594.5, 500.25, 350, 300, 270), (2000, 100, 470, 470, 45)]
ALTIUM_MM = [(40.5003, 12.70635, 9, 7.5, 270), (50.8, 2.54, 12, 12, 45)]
JLC_PARTS = [(12.7, 3.5, 1.6, 0.8, 90), (25.4, -10, 5, 4, 180)]
UTF16_PARTS = [(1594.5, 500, 470, 470, 0), (100, -200, 350, 300, 270)]
EAGLE_PARTS = [(12.7, 25.4, 1.6, 0.8, 90), (40, 20, 5, 4, 0),
               (5, -3, 1.6, 0.8, 180)]
# Parts with the side written for them: placed in inches or mils, in mm.
INCH_PARTS = [(12.7, 25.4, 1.6, 0.8, 90, "top"), (38.1, 20.32, 5, 4, 0,
                                                   "bottom")]
SIDES = [(i, 2, 1.6, 0.8, 0, side) for i, side in
         enumerate(["top", "bottom", "bottom", "top", "Inner1"])]
MANY = [(i % 50, i // 50, 1.6, 0.8, 0) for i in range(1, 193)]


def files(export_name, export, sizes=SIZES_MM, **extra):
    return {export_name: export, "size.txt": sizes, **TEMPLATES, **extra}


# --- KiCad boards and footprint libraries ---------------------------------

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")
SYSTEM_LIBRARY = "/usr/share/kicad/footprints"


def data(path):
    with open(os.path.join(DATA, path), "rb") as f:
        return f.read()


BOARD = data("board.kicad_pcb")
# tests/data/footprints as the folder lib of the working directory.
LIBRARY = {f"lib/{pretty}/{name}": data(f"footprints/{pretty}/{name}")
           for pretty in ("Alpha.pretty", "Beta.pretty")
           for name in os.listdir(os.path.join(DATA, "footprints", pretty))}
# The board's parts: it sets its aux origin at (100, 150). Body centres
# worked out by hand, KiCad's frame first, then korvane's:
#   R1  (110, 120) 0: F.Fab +-0.8 by +-0.4125 about (0, 0): (10, 30).
#   C2  (125, 130) 180, B.Cu: B.Fab +-1 by +-0.625 about (0, 0): (25, 20).
#   C3  (150, 120) 90: F.Fab circle r 2.5 about (1, 0), so (150 + 0,
#       120 - 1) = (150, 119): (50, 31).
#   D4  (130, 140) 30: F.Fab x -1.5 (arc middle) to 1, y +-0.5, about
#       (-0.25, 0): (130 - 0.25 cos 30, 140 + 0.25 sin 30) =
#       (129.78349, 140.125): (29.78349, 9.875).
#   U5  (140, 105) 270: F.Fab polygon x +-1.95, y -2.75 (arc middle) to
#       2.45, about (0, -0.15): (140 + -0.15 * -1, 105) = (140.15, 105):
#       (40.15, 45).
#   J1  (105, 135) 180, origin at pin 1: F.Fab x +-1.27, y -1.27 to 8.89,
#       about (0, 3.81): (105, 135 - 3.81) = (105, 131.19): (5, 18.81).
#       Its text box on F.Fab is no body.
#   G1  (160, 145): a logo on F.SilkS, excluded from position files.
#   TP1 (170, 100): F.CrtYd circle r 1.25 only: (70, 50), 2.5 by 2.5.
BOARD_PARTS = [(10, 30, 1.6, 0.825, 0, "top"), (25, 20, 2, 1.25, 180, "bottom"),
               (50, 31, 5, 5, 90, "top"), (29.783494, 9.875, 2.5, 1, 30, "top"),
               (40.15, 45, 3.9, 5.2, 270, "top"), (5, 18.81, 2.54, 10.16, 180,
                                                    "top"),
               (70, 50, 2.5, 2.5, 0, "top")]


def size_rows(parts, *names):
    """The rows --add-sizes writes for `parts`, named "source code note"."""
    return [("{0}\t{1}\t{3[2]:g}\t{3[3]:g}\t{2}".format(*n.split(" ", 2), p)
             ).encode() for p, n in zip(parts, names)]


BOARD_ROWS = size_rows(
    BOARD_PARTS, "board R_0603_1608Metric board F.Fab",
    "board C_0805_2012Metric board B.Fab",
    "board CP_Radial_D5.0mm_P2.00mm board F.Fab", "board D_MiniMELF board F.Fab",
    "board SOIC-8_3.9x4.9mm_P1.27mm board F.Fab",
    "board PinHeader_1x04_P2.54mm_Vertical board F.Fab",
    "board TestPoint_Pad_D1.5mm board F.CrtYd")


def table(rows, unit=b"mm", end=b"\r\n"):
    return end.join([b"Source\tCode\tLength(%s)\tWidth(%s)\tNote" % (unit, unit)]
                    + rows) + end


# A table of the operator's, CR LF, whose row after the empty line korvane
# never reads; R_0603_1608Metric's row contradicts the board.
OWN_TABLE = (b"No\tCode\tLength\tWidth\r\n1\tR_0603_1608Metric\t1\t0.5\r\n"
             b"\r\n2\tD_MiniMELF\t9\t9\r\n")
TINY_BOARD = b"""(kicad_pcb (version 20240108)
 (footprint "Hole:MountingHole_3mm" (layer "F.Cu") (at 5 5)
  (property "Reference" "H1"))
 (footprint "R_0805" (layer "F.Cu") (at 10 10) (property "Reference" "R1")
  (fp_rect (start -1 -0.6) (end 1 0.6) (layer "F.Fab")))
 (footprint "R_0805" (layer "F.Cu") (at 20 10) (property "Reference" "R2")
  (fp_rect (start -1.2 -0.6) (end 1.2 0.6) (layer "F.Fab"))))
"""
# tests/data/board5.kicad_pcb (KiCad 5, copper layers renamed C1F and C4B)
# as worked out by hand: Q1's body is three quarters of a circle of radius
# 2 about (1, 0) and a chord; K1's a line and a Bezier curve 3 high; U2's
# fab drawing is its pin 1 dot, so its courtyard is its body; J1 is sized
# by its pads' copper, pad 3 turned 90 degrees against the footprint; R1
# by its name about its pads' centre (0.1, 0); U3, on the bottom, by the
# library's body mirrored; the logo G1 is left out.
BOARD5 = data("board5.kicad_pcb")
BOARD5_PARTS = [(10, 21, 4, 4, 90, "top"), (19.5, 10, 3.2, 1.6, 180, "bottom"),
                (30, 21.5, 4, 3, 0, "top"), (40, 20, 7.8, 5.5, 0, "top"),
                (52.54, 20, 2, 6.78, 90, "top"), (60.1, 20, 2, 1.25, 0, "top"),
                (71, 10.5, 3, 2, 0, "bottom")]
BOARD5_ROWS = size_rows(
    BOARD5_PARTS, "board TO-92 board F.Fab",
    "board C_1206_3216Metric board B.Fab", "board Relay_Curved board F.Fab",
    "board TSSOP-14_4.4x5mm_P0.65mm board F.CrtYd",
    "pads Header_1x03 board pads", "name R_0805_2012Metric KiCad _2012Metric",
    "lib Sensor_Pin1Origin Beta.pretty F.Fab")
LIB_CSV = (b"Ref,Package,PosX,PosY,Rot\nR1,chip_1005metric,1,2,0\n"
           b"TP1,TestPad_2mm,5,6,90\nX1,Damaged,9,9,0\n")
NAMES_CSV = (b"Ref,Package,PosX,PosY,Rot\nC1,CAPC1608X87N,1,1,0\n"
             b"TP1,TP-1.0,2,2,0\nU1,SOT-23_L2.9-W1.3-P1.90,3,3,90\n"
             b"TP2,TP-1.0,4,4,0\nR1,M0805,5,5,0\n")


EAGLE_BOARD = data("board.brd")
# The parts, worked out by hand:
#   R2  rcl of the second URN: its 2 by 1 body, not the first rcl's.
#   U1  MR22.5, body centre (1.905, 2.7) from pin 1: turned by 22.5 degrees,
#       mirrored in X: (30 - 0.72675, 20 + 3.22349); drawn at 337.5.
#   D1  arc (-2, -2) to (2, -2) by -270, radius sqrt(8) about (0, 0): y to
#       2.8284, so the centre is (0, 0.4142), at R90 (-0.4142, 0).
#   C1  polygon bulging to x = 2 on its curved edge: centre (0.5, 0).
#   TP1 copper only (a pin-1 stroke on tPlace misses the copper's centre):
#       a long pad, drill 1 with a 12 mil restring: 1.6096 wide, twice as
#       long.
#   J1  tPlace only, origin at pin 1: centre (2.54, 0), at R270 (0, -2.54).
#   Q1  a tDocu card beside the copper is passed over: tPlace 4 by 2 turned
#       by 30 degrees.
#   FRAME1 and LOGO1 have no copper; R3 and R4 (variant lite) are not
#   populated.
EAGLE_BOARD_PARTS = [
    (10, 10, 1.6, 0.8, 0, "top"), (15, 10, 1.6, 0.8, 0, "bottom"),
    (29.273255, 23.223487, 3.9, 4.9, 337.5, "bottom"),
    (49.585786, 10, 5.656854, 4.828427, 90, "top"),
    (19.5, 10, 3, 2, 180, "top"), (5, 5, 3.2192, 1.6096, 0, "top"),
    (10, 37.46, 7.62, 2.54, 270, "top"), (70, 30, 4.464102, 3.732051, 45, "top")]
EAGLE_LBR = b"""<?xml version="1.0"?><eagle><drawing><library><packages>
<package name="SOT23"><wire x1="-1.4" y1="-0.65" x2="1.4" y2="0.65" layer="51"/>
<smd name="1" x="0" y="0" dx="0.6" dy="0.7" layer="1"/></package>
</packages></library></drawing></eagle>"""


def board(export=BOARD, **extra):
    return {"b.kicad_pcb": export, **TEMPLATES, **extra}


def refused(name, export, message, *options, **extra):
    """The case of an export, x.csv or a board b.kicad_pcb, that
    korvane-import refuses: status 2, `message`, nothing written."""
    path = "b.kicad_pcb" if export.startswith(b"(kicad_pcb") else "x.csv"
    return (name, [*options, path, "b.txt"], files(path, export, **extra), 2,
            message)


NEGATIVE_X = files("b.pos", KICAD_POS.replace(b"130.0000", b"-130.0000"))


# (name, arguments, files, status, xy files and their parts, or for an
#  error the start of the message on standard error[, a warning expected])
CASES = [
    ("KiCad .pos, aligned text", ["board.pos", "board.txt"],
     files("board.pos", KICAD_POS), 0, {"board.txt": KICAD_PARTS}),
    ("KiCad CSV, quoted fields", ["board.csv", "board.txt"],
     files("board.csv", KICAD_CSV), 0, {"board.txt": KICAD_PARTS[:2]}),
    ("Altium text with preamble, mil", ["pnp.txt", "board.txt"],
     files("pnp.txt", ALTIUM_TXT, SIZES_MIL), 0, {"board.txt": ALTIUM_MIL}),
    ("Altium CSV with preamble, mil", ["pnp.csv", "board.txt"],
     files("pnp.csv", ALTIUM_CSV, SIZES_MIL), 0, {"board.txt": ALTIUM_MIL}),
    ("Altium CSV converted to mm", ["--units", "mm", "pnp.csv", "b.txt"],
     files("pnp.csv", ALTIUM_CSV), 0, {"b.txt": ALTIUM_MM}),
    ("JLC CSV with a byte order mark", ["cpl.csv", "board.txt"],
     files("cpl.csv", JLC_CSV), 0, {"board.txt": JLC_PARTS}),
    ("a TAB after each closing quote", ["cpl.csv", "board.txt"],
     files("cpl.csv", JLC_TAB_QUIRK), 0,
     {"board.txt": [(12.7, 3.5, 5, 4, 90)]}),
    ("EasyEDA UTF-16 with TABs", ["cpl.csv", "board.txt"],
     files("cpl.csv", EASYEDA_UTF16, SIZES_MIL), 0,
     {"board.txt": UTF16_PARTS}),
    ("Eagle mount file, columns by number", EAGLE_ARGS + ["b.mnt", "b.txt"],
     files("b.mnt", EAGLE_MNT), 0, {"b.txt": EAGLE_PARTS}),
    ("Eagle mount file, values with blanks", ["b.mnb", "b.txt"],
     files("b.mnb", EAGLE_MNT), 0, {"b.txt": EAGLE_PARTS}),
    ("Allegro place_txt in mils, m for bottom", ["--units", "mm",
                                                 "place_txt.txt", "b.txt"],
     files("place_txt.txt", PLACE_TXT), 0, {"b.txt": INCH_PARTS}),
    ("DipTrace CSV in inches", ["--units", "mm", "pnp.csv", "b.txt"],
     files("pnp.csv", DIPTRACE), 0, {"b.txt": INCH_PARTS}),
    ("gEDA xy, heading and unit in comments", ["--units", "mm", "b.xy",
                                               "b.txt"],
     files("b.xy", GEDA_XY), 0,
     {"b.txt": [p + (s,) for p, s in zip(ALTIUM_MM, ["top", "bottom"])]}),
    ("sides written as top and bottom", ["b.csv", "b.txt"],
     files("b.csv", SIDES_CSV), 0, {"b.txt": SIDES},
     "b.csv:6: warning: the side 'Inner1' is neither top nor bottom"),
    ("Windows-1252 read as such", ["pnp.csv", "b.txt"],
     files("pnp.csv", ALTIUM_1252, SIZES_MIL.replace(
         b"LQFP-64", LQFP_10X10.encode())), 0, {"b.txt": ALTIUM_MIL},
     "pnp.csv:14: warning: the first byte that is not UTF-8"),
    ("semicolons and decimal commas", ["eu.csv", "b.txt"],
     files("eu.csv", SEMICOLON_CSV), 0, {"b.txt": [JLC_PARTS[0]]}),
    ("keep the bottom side", ["--side", "bottom", "board.pos", "b.txt"],
     files("board.pos", KICAD_POS), 0, {"b.txt": [KICAD_PARTS[1]]}),
    ("100 placements fit one file", ["b.csv", "b.txt"],
     files("b.csv", many(100)), 0, {"b.txt": MANY[:100]}),
    ("192 placements split at 100", ["--split", "b.csv", "out.txt"],
     files("b.csv", many(192)), 0,
     {"out-1.txt": MANY[:100], "out-2.txt": MANY[100:]}),
    ("Altium text without a preamble, in one file for korvane --all",
     ["pnp.txt", "b.txt"], files("pnp.txt", ALTIUM_PLAIN), 0,
     {"b.txt": ALTIUM_PARTS}, "b.txt: warning: 436 placements, and korvane "
     "draws the first 100 of an xy file; draw them all with korvane --all b "
     "b.txt"),
    ("a heading named with its blanks", ["--x", "Mid X", "--code",
                                         "Part Number", "p.txt", "b.txt"],
     files("p.txt", b"Ref   Part Number    Mid X (mm) Mid Y [mm] Angle Note\n"
           b"C1    C_0603_1608Metric  1.5  2  90  not placed\n"), 0,
     {"b.txt": [(1.5, 2, 1.6, 0.8, 90)]}),
    ("--mirror: the bottom seen from below", ["--mirror", "--side", "bottom",
                                              "board.pos", "b.txt"],
     files("board.pos", KICAD_POS), 0,
     {"b.txt": [(-130, -90.5, 1.6, 0.8, 270, "bottom")]}),
    ("fragments written in an empty folder", ["b.csv", "b.txt"],
     {"b.csv": KICAD_CSV, "size.txt": SIZES_MM}, 0,
     {"b.txt": KICAD_PARTS[:2]}, "", SHIPPED),
    ("a fragment there is never replaced", ["b.csv", "b.txt"],
     {"b.csv": KICAD_CSV, "size.txt": SIZES_MM, "dxf12.txt": b"mine\n"}, 0,
     {"b.txt": None}, "", {**SHIPPED, "dxf12.txt": b"mine\n"}),
    ("lumbrex.ini with the same columns stays", ["b.csv", "b.txt"],
     files("b.csv", KICAD_CSV, **{"lumbrex.ini": b"X=2\ny=3\na=4\nend\n"}),
     0, {"b.txt": KICAD_PARTS[:2]}),
    ("--settings replaces lumbrex.ini", ["--settings", "b.csv", "b.txt"],
     files("b.csv", KICAD_CSV, **{"lumbrex.ini": b"code = 3\nend\n"}), 0,
     {"b.txt": KICAD_PARTS[:2]}),
    ("a code missing from size.txt is named", ["cpl.csv", "b.txt"],
     files("cpl.csv", JLC_CSV.replace(b"SOIC-8", b"SOIC-8W")), 0,
     {"b.txt": JLC_PARTS[:1] + [(25.4, -10, 1.6, 0.8, 180)]},
     "cpl.csv:3: warning: the part code 'SOIC-8W' is not in size.txt"),
    ("a row commented out after the heading is named", ["b.csv", "b.txt"],
     files("b.csv", KICAD_CSV + b'#"U1","LM358","SOIC-8",1,2,0,top\r\n'), 0,
     {"b.txt": KICAD_PARTS[:2]},
     "b.csv:4: warning: this line starts with '#' and is skipped"),
    ("spaces around a quoted code are dropped", ["b.csv", "b.txt"],
     files("b.csv", KICAD_CSV.replace(b'"C_0603_1608Metric"',
                                      b'" C_0603_1608Metric "')), 0,
     {"b.txt": KICAD_PARTS[:2]}),
    ("KiCad board: bodies placed, size.txt made", ["b.kicad_pcb", "b.txt"],
     board(), 0, {"b.txt": BOARD_PARTS}, "", {"size.txt": table(BOARD_ROWS)}),
    ("KiCad board: bottom side in mils", ["--side", "bottom", "--units", "mil",
                                          "b.kicad_pcb", "b.txt"], board(), 0,
     {"b.txt": [(984.251969, 787.401575, 78.740157, 49.212598, 180,
                 "bottom")]}, "", {"size.txt": table(
         [b"board\tC_0805_2012Metric\t78.740157\t49.212598\tboard B.Fab"],
         b"mil")}),
    ("KiCad board: --add-sizes inserts before the empty line",
     ["--add-sizes", "b.kicad_pcb", "b.txt"], board(**{"size.txt": OWN_TABLE}),
     0, {"b.txt": [(10, 30, 1, 0.5, 0, "top")] + BOARD_PARTS[1:]},
     "size.txt:2: warning: the row for 'R_0603_1608Metric' gives 1 by 0.5, "
     "and the board's body is 1.6 by 0.825 (R1 at b.kicad_pcb:14, board F.Fab)",
     {"size.txt": OWN_TABLE.replace(b"\r\n\r\n", b"\r\n" + b"\r\n".join(
         BOARD_ROWS[1:]) + b"\r\n\r\n")}),
    ("KiCad board: size.txt left as it is", ["b.kicad_pcb", "b.txt"],
     board(**{"size.txt": OWN_TABLE}), 0, {},
     "b.kicad_pcb:35: warning: the part code 'C_0805_2012Metric' is not in "
     "size.txt, so korvane would draw it with the size of the last part found "
     "before it; --add-sizes would add 2 by 1.25 from board B.Fab",
     {"size.txt": OWN_TABLE}),
    ("KiCad board: a body missing, a name with two bodies",
     ["--no-default-libraries", "b.kicad_pcb", "b.txt"], board(TINY_BOARD), 0,
     {"b.txt": [(10, -10, 2, 1.2, 0), (20, -10, 2, 1.2, 0)]},
     ("b.kicad_pcb:2: warning: the footprint H1 'Hole:MountingHole_3mm' has "
      "no F.Fab drawing and no F.CrtYd drawing, no pads with copper, and no "
      "footprint library holds it with a body, so it is left out",
      "b.kicad_pcb:6: warning: the footprint R2 'R_0805' has a body of 2.4 by "
      "1.2 mm, and R1 of the same name (line 4) one of 2 by 1.2 mm")),
    ("KiCad board: names that differ in a blank keep a row each",
     ["--no-default-libraries", "b.kicad_pcb", "b.txt"],
     board(TINY_BOARD.replace(
         b'"R_0805" (layer "F.Cu") (at 20', b'"L: R_0805" (layer "F.Cu") (at 20')),
     0, {"b.txt": [(10, -10, 2, 1.2, 0), (20, -10, 2.4, 1.2, 0)]},
     "b.kicad_pcb:2: warning: the footprint H1"),
    ("KiCad 5 board: renamed layers, arcs, a curve, a marker, pads, a name "
     "and a library", ["--library", "lib", "--no-default-libraries",
                       "b.kicad_pcb", "b.txt"], board(BOARD5, **LIBRARY), 0,
     {"b.txt": BOARD5_PARTS},
     ("b.kicad_pcb:39: warning: the footprint J1 'Korvane_Test:Header_1x03' "
      "has no F.Fab drawing and no F.CrtYd drawing: korvane draws it as the "
      "box of its pads' copper, 2 by 6.78 mm",
      "b.kicad_pcb:44: warning: the footprint R1 'Resistor_SMD:R_0805_2012"
      "Metric' has no F.Fab drawing and no F.CrtYd drawing: korvane draws it "
      "with the size its name states (KiCad _2012Metric), 2 by 1.25 mm",
      "b.kicad_pcb:49: warning: the footprint U3 'Korvane_Test:Sensor_Pin1"
      "Origin' has no B.Fab drawing and no B.CrtYd drawing: korvane draws it "
      "with the body of the library footprint in Beta.pretty (F.Fab), 3 by 2",
      "b.kicad_pcb:54: warning: the footprint G1 'Korvane_Art:Logo_Fox_8mm' "
      "has no F.Fab drawing and no F.CrtYd drawing, no pads with copper,"),
     {"size.txt": table(BOARD5_ROWS)}),
    ("KiCad .pos with negative bottom X", ["b.pos", "b.txt"], NEGATIVE_X, 0,
     {"b.txt": [KICAD_PARTS[0], (-130, -90.5, 1.6, 0.8, 90)] + KICAD_PARTS[2:]},
     "b.pos:7: warning: every bottom-side row has X of the opposite sign to "
     "every top-side row's"),
    ("--negative-bottom-x", ["--negative-bottom-x", "b.pos", "b.txt"],
     NEGATIVE_X, 0, {"b.txt": KICAD_PARTS}),
    ("sizes from a footprint library", ["--library", "lib",
                                        "--no-default-libraries", "e.csv",
                                        "b.txt"],
     {"e.csv": LIB_CSV, **LIBRARY, **TEMPLATES}, 0,
     {"b.txt": [(1, 2, 1, 0.5, 0), (5, 6, 2.5, 2.5, 90), (9, 9, 2.5, 2.5, 0)]},
     ("Damaged.kicad_mod:4: warning: the list '(fp_line' "
      "opened on this line lacks its ')'; add it; no size is taken from it",
      "e.csv:4: warning: the part code 'Damaged' is not in size.txt, and its "
      "size cannot be known"),
     {"size.txt": table([b"lib\tchip_1005metric\t1\t0.5\tAlpha.pretty F.Fab",
                         b"lib\tTestPad_2mm\t2.5\t2.5\tBeta.pretty F.CrtYd"])}),
    ("sizes that names state, and names that state none",
     ["--no-default-libraries", "n.csv", "b.txt"],
     {"n.csv": NAMES_CSV, **TEMPLATES}, 0, {},
     ("n.csv:3: warning: the part code 'TP-1.0' (2 parts; also on line 5) is "
      "not in size.txt, and its size cannot be known",
      "n.csv:6: warning: the part code 'M0805' is not in size.txt"),
     {"size.txt": table([b"name\tCAPC1608X87N\t1.6\t0.8\tIPC-7351 CAPC1608",
                         b"name\tSOT-23_L2.9-W1.3-P1.90\t2.9\t1.3\t"
                         b"LCSC _L2.9-W1.3"])}),
    ("mil coordinates beside a table in no unit", ["pnp.csv", "b.txt"],
     files("pnp.csv", ALTIUM_CSV), 0,
     {"b.txt": [(1594.5, 500.25, 9, 7.5, 270), (2000, 100, 12, 12, 45)]},
     "size.txt:1: warning: does not say which unit its sizes are in, and the "
     "coordinates are in mil: if the sizes are in mm, korvane draws every "
     "part 39.37 times too small; pass --units mm"),
    ("Eagle board: bodies placed, size.txt made", ["b.brd", "b.txt"],
     {"b.brd": EAGLE_BOARD, **TEMPLATES}, 0, {"b.txt": EAGLE_BOARD_PARTS},
     ("b.brd:72: warning: the element R2 'rcl:R0603' has a body of 2 by 1 mm",
      "b.brd:79: warning: 2 elements without a pad or smd (frames, logos, "
      "marks) are left out of the xy file: FRAME1, LOGO1")),
    ("Eagle library and board as --library", [
        "--library", "p.lbr", "--library", "b.brd", "--no-default-libraries",
        "b.mnt", "b.txt"], {"b.brd": EAGLE_BOARD, "p.lbr": EAGLE_LBR,
                            "b.mnt": b"Q1 1 2 0 BC847 SOT23\nR1 5 5 90 1k R0603\n",
                            **TEMPLATES}, 0,
     {"b.txt": [(1, 2, 2.8, 1.3, 0), (5, 5, 1.6, 0.8, 90)]},
     "b.brd:23: warning: the package 'R0603' of library 'rcl' has a body of 2",
     {"size.txt": table([b"lib\tSOT23\t2.8\t1.3\tp.lbr tDocu",
                         b"lib\tR0603\t1.6\t0.8\tb.brd tDocu"])}),
    ("Eagle: a library URN no library has, two of its name",
     ["b.brd", "b.txt"], {"b.brd": EAGLE_BOARD.replace(
         b'library_urn="urn:adsk.eagle:library:2"', b'library_urn="urn:x"')},
     0, {"b.txt": EAGLE_BOARD_PARTS[:1] + EAGLE_BOARD_PARTS[2:]},
     "b.brd:72: warning: the element R2 'rcl:R0603' names its "
     "library by a URN that no library of the board has"),
    # Errors: nothing is written.
    ("an Eagle board cut short", ["b.brd", "b.txt"], {"b.brd": EAGLE_BOARD[
        :EAGLE_BOARD.index(b"<signals>")]}, 2, "b.brd:85: the XML is broken "
     "here (unexpected end of data)"),
    refused("a board whose parentheses do not close", BOARD[:BOARD.rindex(
        b")")], "b.kicad_pcb:1: the list '(kicad_pcb' opened on this line "
        "lacks its ')'"),
    refused("--add-sizes into a table in another unit", BOARD, "size.txt:1: "
            "gives its sizes in mm, and the rows to add are in mil",
            "--add-sizes", "--units", "mil", **{"size.txt": table([])}),
    refused("a Ctrl-Z in a board's reference", TINY_BOARD.replace(
        b'"R2"', b'"R\x1a2"'), "b.kicad_pcb:6: the reference 'R\\x1a2' holds "
        "a Ctrl-Z"),
    refused("--add-sizes into a size.txt saved as UTF-16", BOARD,
            "size.txt: saved as UTF-16", "--add-sizes",
            **{"size.txt": "h\r\n".encode("utf-16")}),
    refused("a board where no footprint can be placed", TINY_BOARD.replace(
        b'"R1")', b'"R1") (attr dnp)').replace(b'"R2")', b'"R2") (attr '
                                                b'exclude_from_pos_files)'),
     "b.kicad_pcb: no footprint of the board goes into the xy file; 1 "
     "footprint excluded from position files or not in the schematic (R2 "
     "'R_0805' on line 6); 1 footprint marked do-not-populate, which "
     "--exclude-dnp leaves out (R1 'R_0805' on line 4); 1 footprint without a "
     "body drawing, pads or a library footprint (H1", "--exclude-dnp",
     "--no-default-libraries"),
    refused("a column option for a board", BOARD,
            "b.kicad_pcb: --x names a column of an export", "--x", "2"),
    refused("a library that is no folder", BOARD, "lib: is not a folder",
            "--library", "lib"),
    ("the xy file is size.txt", ["b.csv", "size.txt"],
     files("b.csv", KICAD_CSV), 2, "size.txt: is korvane's size table"),
    refused("no heading", b"a,b\n1,2\n", "x.csv:1: no heading found"),
    refused("no footprint column", b"Designator,Mid X,Mid Y,Rotation,Layer\n"
            b"U1,1,2,0,T\n", "x.csv:1: the file names no footprint or package "
            "column"),
    ("place_txt in a unit it does not read", ["p.txt", "b.txt"],
     files("p.txt", PLACE_TXT.replace(b"MILS", b"MICRONS")), 2,
     "p.txt:1: the unit here is none"),
    refused("too few fields", KICAD_CSV + b'"U1","LM358","SOIC-8",100\r\n',
            "x.csv:4: 4 fields where the heading has 7: too few"),
    ("a value with a blank shifts aligned columns", ["x.pos", "b.txt"],
     files("x.pos", KICAD_POS.replace(b'"10 k"', b"10 k  ")), 2,
     "x.pos:7: 8 fields where the heading has 7"),
    refused("a number it cannot read", JLC_CSV.replace(b"25.4mm", b"25.4cm"),
            "x.csv:3: cannot read the X value '25.4cm'"),
    *[refused(f"a {what} of 1e12 or more", JLC_CSV.replace(old, new),
              f"x.csv:3: the {what}")
      for what, old, new in [("X value", b"25.4mm", b"1e12mm"),
                             ("Y value", b"-10mm", b"-1e999"),
                             ("rotation value", b"180\n", b"4e15\n")]],
    refused("mixed units", JLC_CSV.replace(b"25.4mm", b"1000mil"),
            "x.csv:3: a coordinate here is in mil"),
    ("mixed units converted", ["--units", "mm", "x.csv", "b.txt"],
     files("x.csv", JLC_CSV.replace(b"25.4mm", b"1000mil")), 0,
     {"b.txt": JLC_PARTS}),
    ("--units without a unit to convert from", ["--units", "mil", "b.mnt",
                                                "b.txt"] + EAGLE_ARGS,
     files("b.mnt", EAGLE_MNT), 2, "b.mnt:1: a coordinate here has no unit"),
    refused("a quote that never closes", KICAD_CSV + b'"U1,LM358\r\n',
            "x.csv:4: a quote"),
    *[refused(f"a code holding a {name}", KICAD_CSV.replace(
        b'"C_0603', b'"C' + byte + b'0603'), "x.csv:2: the part code 'C" +
        message) for name, byte, message in [
            ("TAB", b"\t", "\\t0603_1608Metric' holds a TAB"),
            ("line break", b"\n", "\\n0603_1608Metric' holds")]],
    refused("a side it cannot tell", JLC_CSV.replace(b",B,", b",inner,"),
            "x.csv:3: cannot tell the side from 'inner'", "--side", "top"),
    ("the xy file is the export", ["b.csv", "b.csv"],
     files("b.csv", KICAD_CSV), 2, "b.csv: is the export itself"),
    ("lumbrex.ini with other columns", ["b.csv", "b.txt"],
     files("b.csv", KICAD_CSV, **{"lumbrex.ini": b"code = 3\nend\n"}), 2,
     "lumbrex.ini: gives the columns code 3, x 1"),
    ("the xy file is lumbrex.ini", ["b.csv", "lumbrex.ini"],
     files("b.csv", KICAD_CSV), 2, "lumbrex.ini: is korvane's settings file"),
    ("a folder that does not exist", ["b.csv", "nowhere/b.txt"],
     files("b.csv", KICAD_CSV), 1, "nowhere/b.txt: cannot be written"),
    ("unknown option", ["--flip", "b.csv", "b.txt"],
     files("b.csv", KICAD_CSV), 2, "korvane-import: unknown option --flip"),
    ("the xy file is a fragment", ["b.csv", "dxf12.txt"],
     {"b.csv": KICAD_CSV}, 2, "dxf12.txt: is a DXF fragment of korvane's"),
    refused("UTF-16 without its mark", EASYEDA_UTF16[2:],
            "x.csv:1: the file holds a NUL"),
]


# lumbrex.ini and size.txt that fit the xy file of KICAD_CSV.
FITTING = {"lumbrex.ini": b"code=1\nx=2\ny=3\na=4\n", "size.txt": SIZES_MM}

# Links are made only where the tests run on Linux.
LINUX_CASES = [
    ("a pipe as the only file to write", ["b.csv", "/dev/stdout"],
     files("b.csv", KICAD_CSV, **FITTING), 1,
     "/dev/stdout: cannot be written whole: it is a pipe"),
    *[(f"standard output {how}", ["--split", "b.csv", "b.txt"],
       files("b.csv", many(192)), 1, "korvane-import: standard output", "",
       {}, {"stdout": out})
      for how, out in [("that cannot be written", "/dev/full"),
                       ("without a reader", "broken pipe")]],
    ("a file-size limit", ["b.csv", "b.txt"], files("b.csv", many(100)), 1,
     "File too large", "", {}, {"file_size": 999}),
    ("out of memory", ["b.kicad_pcb", "b.txt"], board(b"(kicad_pcb\n" + (
        b' (footprint "R" (layer "F.Cu") (at 1 1) (fp_line (start 0 0) (end '
        b'1 1) (layer "F.Fab")))\n') * 200000 + b")\n"), 1, "out of memory",
     "", {}, {"memory": 100 << 20}),
    ("an xy file that links to the settings it writes", ["b.csv", "b.txt"],
     files("b.csv", KICAD_CSV, **{"b.txt": Link("lumbrex.ini")}), 2,
     "lumbrex.ini: leads to the same file as b.txt"),
    ("a piece that links to another", ["--split", "b.csv", "b.txt"],
     files("b.csv", many(192), **{"b-2.txt": Link("b-1.txt")}), 2,
     "b-2.txt: leads to the same file as b-1.txt"),
    ("--add-sizes into a size.txt with another name",
     ["--add-sizes", "b.kicad_pcb", "b.txt"],
     board(**{"size.txt": OWN_TABLE, "other.txt": HardLink("size.txt")}), 2,
     "size.txt: has 2 names (hard links)"),
    ("a size.txt that cannot be read", ["b.csv", "b.txt"],
     files("b.csv", KICAD_CSV, **{"size.txt": Link("/proc/self/mem")}), 0,
     {"b.txt": None}, "size.txt: warning: cannot be read"),
    ("pieces of an earlier split past the new count",
     ["--split", "b.csv", "b.txt"],
     files("b.csv", many(192), **{"b-3.txt": b"code\tx(mm)\ty(mm)\tangle\t"
                                   b"reference\tside\n", "b-4.txt": b"mine\n"}),
     0, {"b-1.txt": MANY[:100], "b-2.txt": MANY[100:]},
     "b-3.txt: warning: removed"),
]

# Run as nobody in a folder that takes no new file, where the xy file
# exists and may be written (and, with FITTING, is the only file to write).
NOBODY_CASES = [
    (f"{what} in a folder that takes no new file", ["b.csv", "b.txt"],
     files("b.csv", KICAD_CSV, **{"b.txt": b"old\n"}, **extra), 1,
     "the folder '.' takes no new file", "", {"b.txt": b"old\n"},
     {"nobody": ["b.txt"]})
    for what, extra in [("files to write", {}), ("one file to write", FITTING)]]

# Column numbers and file names the command line gets wrong.
OPTION_CASES = [
    refused("--x 9999", KICAD_CSV, "x.csv:1: --x 9999: the heading has 7 columns",
            "--x", "9999"),
    refused("an optional column past the heading", KICAD_CSV,
            "x.csv:1: --ref 50: the heading has 7", "--ref", "50"),
]


def expected_corners(x, y, length, width, angle):
    c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))
    return sorted((x + dx * c - dy * s, y + dx * s + dy * c)
                  for dx, dy in ((-length / 2, -width / 2),
                                 (-length / 2, width / 2),
                                 (length / 2, width / 2),
                                 (length / 2, -width / 2)))


def same_outline(got, want):
    return all(math.isclose(a, b, abs_tol=2e-4) for p, q in zip(got, want)
               for a, b in zip(p, q))


def check_drawing(work, korvane, xy, parts):
    every = ["--all"] if len(parts) > 100 else []
    done = subprocess.run(korvane + every + ["drawing", xy], cwd=work,
                          capture_output=True, timeout=120)
    if done.returncode != 0:
        return [f"korvane {xy} ended with {done.returncode}"]
    with open(os.path.join(work, "drawing.dxf"), "rb") as f:
        got = [sorted(corners) for corners in outlines(f.read())]
    want = [expected_corners(*part[:5]) for part in parts]
    if len(got) != len(want):
        return [f"{xy}: {len(got)} outlines drawn, {len(want)} expected"]
    return [f"{xy} outline {i + 1}:\n  expected {w}\n  got      {g}"
            for i, (g, w) in enumerate(zip(got, want))
            if not same_outline(g, w)]


def check_success(work, done, korvane, outputs, args):
    problems = []
    names = [n for n in done.stdout.decode().splitlines() if n]
    if "--split" in args and names != list(outputs):
        problems.append(f"printed {names}, expected {list(outputs)}")
    for xy, parts in outputs.items():
        if not os.path.isfile(os.path.join(work, xy)):
            problems.append(f"{xy} not written")
        elif b"\n" in open(os.path.join(work, xy), "rb").read().replace(
                b"\r\n", b""):
            problems.append(f"{xy} has lines that do not end with CR LF")
        elif parts is not None:  # None: korvane cannot draw it here
            problems += check_drawing(work, korvane, xy, parts)
        with open(os.path.join(work, xy), encoding="utf-8") as f:
            sides = [row.split("\t")[5] for row in f.read().splitlines()[1:]]
        if parts and len(parts[0]) > 5 and sides != [p[5] for p in parts]:
            problems.append(f"{xy}: sides {sides}")
    return problems


def run_case(importer, korvane, case, quiet_stderr):
    name, args, work_files, status, expected = case[:5]
    warnings, kept, options = list(case[5:]) + ["", {}, {}][len(case) - 5:]
    warnings = [w.encode() for w in
                (warnings if isinstance(warnings, tuple) else (warnings,))]
    if "memory" in options and b"__asan_init" in open(importer[-1],
                                                       "rb").read():
        print(f"SKIP {name}: a sanitizer's runtime needs more to start")
        return []
    with tempfile.TemporaryDirectory() as work:
        lay_out(work, work_files)
        if "nobody" in options:
            options = {**options, "drop": as_nobody(work, 0o555,
                                                    options["nobody"])}
        done = run_with(importer + args, work, options)
        created = set(os.listdir(work)) - set(work_files)
        created |= {p for p, v in work_files.items() if type(v) is Link
                    and os.path.exists(os.path.join(work, p))}
        problems = []
        if done.returncode != status:
            problems.append(f"status: expected {status}, got "
                            f"{done.returncode}; stderr {done.stderr!r}")
        for path, want in kept.items():
            with open(os.path.join(work, path), "rb") as f:
                got = f.read()
            if got != want:
                problems.append(f"{path}:\n  expected {want[:200]!r}\n"
                                f"  got      {got[:200]!r}")
        if status == 0:
            if (quiet_stderr and warnings == [b""] and done.stderr) or \
                    not all(w in done.stderr for w in warnings):
                problems.append(f"stderr: {done.stderr!r}")
            return problems + check_success(work, done, korvane, expected,
                                            args)
        if expected.encode() not in done.stderr:
            problems.append(f"stderr:\n  expected {expected!r}\n"
                            f"  got      {done.stderr!r}")
        if created and "stdout" not in options:  # the pieces come first
            problems.append(f"files written: {sorted(created)}")
        return problems


def interrupted_split(importer):
    """SIGTERM while --split puts 3,000 pieces in place: no new file of the
    run is left behind."""
    with tempfile.TemporaryDirectory() as work:
        lay_out(work, files("b.csv", many(300000)))
        child = subprocess.Popen(importer + ["--split", "b.csv", "b.txt"],
                                 cwd=work, stdout=subprocess.DEVNULL)
        while child.poll() is None and not any(
                n.startswith(".b-") for n in os.listdir(work)):
            time.sleep(0.001)
        child.terminate()
        child.wait()
        left = [n for n in os.listdir(work) if n.startswith(".")]
    if child.returncode != -signal.SIGTERM:
        return [f"the run ended with {child.returncode}, not by SIGTERM"]
    return [f"{len(left)} new files left: {left[:3]}"] if left else []


def system_library_case(emulator):
    """The case on KiCad's own library, or None with the reason to skip it:
    the library is Debian's, which no Windows program looks in."""
    if emulator:
        return None, "a Windows program does not look in " + SYSTEM_LIBRARY
    if not os.path.isdir(SYSTEM_LIBRARY):
        if os.environ.get("KORVANE_REQUIRE_TOOLS"):
            sys.exit(f"{SYSTEM_LIBRARY} is missing: install kicad-footprints")
        return None, f"{SYSTEM_LIBRARY} is missing: install kicad-footprints"
    return ("sizes from KiCad's installed library", ["d.csv", "b.txt"],
            {"d.csv": b"Ref,Package,PosX,PosY,Rot\nR1,r_0603_1608METRIC,1,2,0\n",
             **TEMPLATES}, 0, {"b.txt": [(1, 2, 1.6, 0.825, 0)]}, "",
            {"size.txt": table([b"lib\tr_0603_1608METRIC\t1.6\t0.825\t"
                                b"Resistor_SMD.pretty F.Fab"])}), None


def main(argv):
    nobody = argv[:1] == ["--as-nobody"]
    importer, korvane = [os.path.abspath(a) for a in argv[nobody:nobody + 2]]
    emulator = argv[nobody + 2:]
    linux = sys.platform.startswith("linux") and not emulator
    if nobody:
        return nobody_table("import_e2e", [
            (case[0], lambda c=case: run_case([importer], [korvane], c, True))
            for case in NOBODY_CASES] if linux else None)
    quiet_stderr = not emulator
    system, why = system_library_case(emulator)
    if why:
        print(f"SKIP sizes from KiCad's installed library: {why}")
    cases = CASES + OPTION_CASES + ([system] if system else [])
    if linux:
        cases += LINUX_CASES
    runs = [(case[0], lambda c=case: run_case(emulator + [importer],
                                              emulator + [korvane], c,
                                              quiet_stderr))
            for case in cases]
    if linux:
        runs += [("SIGTERM during --split", lambda: interrupted_split(
                     [importer]))]
    return run_table("import_e2e", runs)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

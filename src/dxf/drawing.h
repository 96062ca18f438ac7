// The order of a drawing: korvane's records between the user's fragments.
#pragma once

namespace korvane {

// What a step of the drawing writes.
enum class DrawingPart {
  kFragment,  // a template fragment, copied
  kLayer,     // a LAYER entry
  kOutlines,  // the outline of every placement, on kOutlineLayer
};

// One step: the fragment's index (0 for dxf11.txt to 2 for dxf13.txt), or
// the layer's name.
struct DrawingStep {
  DrawingPart part;
  int fragment;
  const char* layer;
};

// The layer every outline is drawn on.
inline constexpr char kOutlineLayer[] = "center";

// The whole drawing, first to last.
inline constexpr DrawingStep kDrawingOrder[] = {
    {DrawingPart::kFragment, 0, nullptr},
    {DrawingPart::kLayer, 0, kOutlineLayer},
    {DrawingPart::kLayer, 0, "center2"},
    {DrawingPart::kFragment, 1, nullptr},
    {DrawingPart::kOutlines, 0, kOutlineLayer},
    {DrawingPart::kFragment, 2, nullptr},
};

}  // namespace korvane

// One form drawn as an SVG picture of the handheld's screen (at the screen size of the info
// record), each control drawn by its type at its place and size: labels as text, fields with
// their dotted lines, value lists and date selectors as triggers, buttons with their frames,
// push buttons, check boxes, tables with their column heads, form menus as their item lists,
// bitmaps as picture placeholders. A form with layers shows one screen per layer side by side
// (controls of every layer on each); disabled controls are drawn grey. Every control is
// labelled with its index (#N, as action code names it) and carries a <title> with its index,
// type, entry, events and findings, shown on hover. What CFormGeometry finds is marked: a
// control outside the screen is drawn where it is, outside the frame, on red (the picture grows
// to hold it), and controls overlapping on a layer are outlined on that layer's screen.
#pragma once

#include <string>

#include "InspectJson.h"

class CFormDrawing {
public:
    // The SVG document of `form` (a form of the inspector's document) of the object called
    // `object` (UTF-8); `width` and `height` are the screen's. A `grid` above 0 draws lines
    // every `grid` pixels across the screen.
    static std::string Svg(const Json& form, const std::string& object, int width, int height,
                           int grid = 0);

    // A text made safe for XML character data and attribute values.
    static std::string Escape(const std::string& utf8);
};

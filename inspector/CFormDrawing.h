// One form drawn as an SVG picture of the handheld's screen (at the screen size of the info
// record), each control drawn by its type at its place and size: labels as text, fields with
// their dotted lines, value lists and date selectors as triggers, buttons with their frames,
// push buttons, check boxes, tables with their column heads, form menus as their item lists,
// bitmaps as picture placeholders. A form with layers shows one screen per layer side by side
// (controls of every layer on each); disabled controls are drawn grey. Every control carries a
// <title> with its index (#N, as action code names it), type, entry and events, shown on hover.
#pragma once

#include <string>

#include "InspectJson.h"

class CFormDrawing {
public:
    // The SVG document of `form` (a form of the inspector's document) of the object called
    // `object` (UTF-8); `width` and `height` are the screen's.
    static std::string Svg(const Json& form, const std::string& object, int width, int height);

    // A text made safe for XML character data and attribute values.
    static std::string Escape(const std::string& utf8);
};

// The forms of a configuration database drawn into a folder: one SVG per form
// (CFormDrawing), named after its section and positions (documents-0-1.svg: the second form of
// the first document), and index.html embedding them all, object by object.
#pragma once

#include <string>
#include <vector>

#include "InspectJson.h"

class CFormGallery {
public:
    // Writes the pictures of `document` (the inspector's document of a configuration
    // database) into `directory`, creating it when needed; `written` receives the paths.
    // `grid` above 0 draws a grid of that many pixels on each screen. The index lists the
    // database's problems (those of --check) and under each drawing what it marks. False with
    // the reason when the document has no forms to draw or a file cannot be written.
    static bool Write(const Json& document, const std::string& directory,
                      std::vector<std::string>& written, std::string& error, int grid = 0);
};

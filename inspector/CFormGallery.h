// The forms of a configuration database drawn into a folder: one SVG per distinct form
// (CFormDrawing), named after its section and positions (documents-0-1.svg: the second form of
// the first document), and index.html embedding them all, object by object, within limits of
// files and bytes that a hostile database cannot pass.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "InspectJson.h"

class CFormGallery {
public:
    // What a gallery may take at most: files (the drawings and the index) and bytes in all.
    struct Limits {
        size_t files;
        size_t bytes;
    };
    static constexpr Limits kLimits{4000, size_t{32} << 20};

    enum class Outcome {
        Written,
        OverLimit,  // the gallery would pass the limits: nothing written
        Failed,     // no configuration database, or a file that cannot be written
    };

    // Writes the pictures of `document` (the inspector's document of a configuration
    // database) into `directory`, creating it when needed; `written` receives the paths. A
    // form that several objects show alike (a form table they share) is drawn once, as the
    // first of them shows it, and the index links each to that drawing. `grid` above 0 draws a
    // grid of that many pixels on each screen. The index lists the database's problems (those
    // of --check) and under each drawing what it marks. All files are made before the first is
    // written, so a gallery past `limits` writes nothing. `error` gets the reason unless
    // written.
    static Outcome Draw(const Json& document, const std::string& directory, const Limits& limits,
                        std::vector<std::string>& written, std::string& error, int grid = 0);
    // The same with kLimits; true when written.
    static bool Write(const Json& document, const std::string& directory,
                      std::vector<std::string>& written, std::string& error, int grid = 0);
};

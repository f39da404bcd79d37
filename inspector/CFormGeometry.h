// Where the controls of one form lie on the handheld's screen, and what is wrong with their
// places: controls partly or wholly outside the screen, and controls that overlap another
// control of the same layer (a control of no layer, layer byte 255, lies on every layer and
// so overlaps controls of any layer). The drawing marks both; the gallery lists them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "InspectJson.h"

class CFormGeometry {
public:
    // The screen sizes drawn: an info record's size outside this range is taken as its bound.
    static constexpr int kMinScreen = 16;
    static constexpr int kMaxScreen = 2048;
    // Overlaps are looked for among this many controls of a form at most: the pairs compared
    // grow with the square of the count, and a form of a sound database holds fewer (its
    // controls lie in one record of at most 60000 bytes, 68 bytes each).
    static constexpr size_t kMaxCompared = 1000;
    // Findings() lists at most this many lines, then one saying how many more there are.
    static constexpr size_t kMaxListed = 20;
    // The layer of a control that names none (on every layer).
    static constexpr int kEveryLayer = -1;

    struct Control {
        int x = 0;
        int y = 0;
        int w = 0;  // never negative
        int h = 0;  // never negative
        int layer = kEveryLayer;
        std::string type;
        bool outside = false;          // not wholly on the screen
        std::vector<size_t> overlaps;  // the positions of the controls it overlaps, ascending
    };

    // The controls of `form` (a form of the inspector's document) on a screen of `width` by
    // `height` pixels.
    CFormGeometry(const Json& form, int width, int height);
    // The same for controls given by place, layer and type (`outside` and `overlaps` are
    // found here), e.g. those of a configuration document before it is compiled.
    CFormGeometry(std::vector<Control> controls, int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<Control>& Controls() const { return controls_; }

    // True when `control` is shown on the screen of `layer` (kEveryLayer: the one screen of a
    // form whose controls name no layer).
    static bool Shows(const Control& control, int layer) {
        return control.layer == kEveryLayer || control.layer == layer;
    }

    // One line per control outside the screen, then one per overlapping pair:
    // "#6 checkbox lies outside the 240x268 screen: at 220,70 size 60x12",
    // "#4 datetime and #11 static overlap on layer 1" (or "on every layer").
    std::vector<std::string> Findings() const;

private:
    // Finds which controls lie outside the screen and which overlap.
    void Place();

    int width_;
    int height_;
    std::vector<Control> controls_;
    bool comparedAll_ = true;
};

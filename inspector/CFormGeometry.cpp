#include "CFormGeometry.h"

#include <algorithm>

namespace {

std::string Name(size_t position, const CFormGeometry::Control& control) {
    return "#" + std::to_string(position) + " " + control.type;
}

}  // namespace

CFormGeometry::CFormGeometry(const Json& form, int width, int height)
    : width_(std::clamp(width, kMinScreen, kMaxScreen)),
      height_(std::clamp(height, kMinScreen, kMaxScreen)) {
    const Json& controls = At(form, "controls");
    for (const Json& c : controls) {
        Control control;
        control.x = IntOf(At(c, "x"));
        control.y = IntOf(At(c, "y"));
        control.w = std::max(0, IntOf(At(c, "w")));
        control.h = std::max(0, IntOf(At(c, "h")));
        control.layer = At(c, "layer").is_number() ? IntOf(At(c, "layer")) : kEveryLayer;
        control.type = At(c, "type").is_string() ? At(c, "type").get<std::string>() : "";
        controls_.push_back(std::move(control));
    }
    Place();
}

CFormGeometry::CFormGeometry(std::vector<Control> controls, int width, int height)
    : width_(std::clamp(width, kMinScreen, kMaxScreen)),
      height_(std::clamp(height, kMinScreen, kMaxScreen)),
      controls_(std::move(controls)) {
    Place();
}

void CFormGeometry::Place() {
    for (Control& control : controls_) {
        control.w = std::max(0, control.w);
        control.h = std::max(0, control.h);
        control.outside = control.x < 0 || control.y < 0 || control.x + control.w > width_ ||
                          control.y + control.h > height_;
        control.overlaps.clear();
    }
    const size_t compared = std::min(controls_.size(), kMaxCompared);
    comparedAll_ = compared == controls_.size();
    for (size_t i = 0; i < compared; ++i) {
        Control& a = controls_[i];
        for (size_t k = i + 1; k < compared; ++k) {
            Control& b = controls_[k];
            const bool sameLayer =
                a.layer == kEveryLayer || b.layer == kEveryLayer || a.layer == b.layer;
            // Controls that only touch (one ends where the other starts) do not overlap.
            if (sameLayer && a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h &&
                b.y < a.y + a.h) {
                a.overlaps.push_back(k);
                b.overlaps.push_back(i);
            }
        }
    }
}

std::vector<std::string> CFormGeometry::Findings() const {
    std::vector<std::string> lines;
    size_t more = 0;
    const auto add = [&](std::string line) {
        if (lines.size() < kMaxListed) {
            lines.push_back(std::move(line));
        } else {
            ++more;
        }
    };
    const std::string screen = std::to_string(width_) + "x" + std::to_string(height_);
    for (size_t i = 0; i < controls_.size(); ++i) {
        const Control& c = controls_[i];
        if (c.outside) {
            add(Name(i, c) + " lies outside the " + screen + " screen: at " + std::to_string(c.x) +
                "," + std::to_string(c.y) + " size " + std::to_string(c.w) + "x" +
                std::to_string(c.h));
        }
    }
    for (size_t i = 0; i < controls_.size(); ++i) {
        for (const size_t k : controls_[i].overlaps) {
            if (k < i) {
                continue;
            }
            const int layer =
                controls_[i].layer == kEveryLayer ? controls_[k].layer : controls_[i].layer;
            add(Name(i, controls_[i]) + " and " + Name(k, controls_[k]) + " overlap on " +
                (layer == kEveryLayer ? std::string("every layer")
                                      : "layer " + std::to_string(layer)));
        }
    }
    if (more > 0) {
        lines.push_back("and " + std::to_string(more) + " more");
    }
    if (!comparedAll_) {
        lines.push_back("overlaps looked for among the first " + std::to_string(kMaxCompared) +
                        " of " + std::to_string(controls_.size()) + " controls only");
    }
    return lines;
}

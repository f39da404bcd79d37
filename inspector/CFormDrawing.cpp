#include "CFormDrawing.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>
#include <string_view>
#include <utility>

#include "CFormGeometry.h"

namespace {

// The look of the screen.
constexpr int kBezel = 14;      // dark frame around each screen
constexpr int kGap = 18;        // between the screens of two layers
constexpr int kCaption = 16;    // the line above each screen
constexpr int kTitleBar = 15;   // the form's title tab
constexpr int kMaxScreens = 8;  // layers drawn at most
constexpr double kScale = 2;    // pixels of the picture per screen pixel
// A control further outside the screen than this is drawn at this distance from its edge.
constexpr int kMaxOverhang = 512;
constexpr size_t kMaxNamed = 10;  // controls named in one tooltip as overlapping it
const char* const kInk = "#1b1d1f";
const char* const kGrey = "#9aa0a6";
const char* const kScreen = "#f6f7f1";
const char* const kOutside = "#d93025";  // controls outside the screen
const char* const kOverlap = "#e37400";  // the outlines of overlapping controls
const char* const kIndex = "#1a5fb4";    // the controls' index labels
const char* const kFont = "DejaVu Sans, Verdana, Arial, sans-serif";

std::string Num(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string Text(const Json& value) {
    return value.is_string() ? value.get<std::string>() : std::string();
}

// Font size and weight of a font name.
std::pair<double, const char*> FontOf(const Json& font) {
    const std::string name = Text(font);
    if (name == "boldFont") {
        return {9.5, "bold"};
    }
    if (name == "largeFont") {
        return {11.5, "normal"};
    }
    if (name == "largeBoldFont") {
        return {11.5, "bold"};
    }
    return {9.5, "normal"};
}

// About how wide the text is drawn (DejaVu Sans).
double Width(const std::string& utf8, double size, const char* weight) {
    size_t characters = 0;
    for (const char c : utf8) {
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return static_cast<double>(characters) * size *
           (std::string_view(weight) == "bold" ? 0.66 : 0.6);
}

void Rect(std::ostream& out, double x, double y, double w, double h, const std::string& style,
          double r = 0) {
    out << "<rect x=\"" << Num(x) << "\" y=\"" << Num(y) << "\" width=\"" << Num(std::max(0.0, w))
        << "\" height=\"" << Num(std::max(0.0, h)) << "\"";
    if (r > 0) {
        out << " rx=\"" << Num(r) << "\"";
    }
    out << " " << style << "/>\n";
}
void Line(std::ostream& out, double x1, double y1, double x2, double y2, const std::string& style) {
    out << "<line x1=\"" << Num(x1) << "\" y1=\"" << Num(y1) << "\" x2=\"" << Num(x2) << "\" y2=\""
        << Num(y2) << "\" " << style << "/>\n";
}
// Text with its baseline at y; anchor start, middle or end. A text wider than `room`
// (when given) is drawn smaller, as the handheld's narrower fonts would fit it.
void Label(std::ostream& out, double x, double y, const std::string& utf8, double size,
           const char* weight, const char* anchor = "start", const char* fill = kInk,
           const char* extra = "", double room = 0) {
    if (room > 0 && Width(utf8, size, weight) > room) {
        size = std::max(size * 0.7, size * room / Width(utf8, size, weight));
    }
    out << "<text x=\"" << Num(x) << "\" y=\"" << Num(y) << "\" font-size=\"" << Num(size)
        << "\" font-weight=\"" << weight << "\" text-anchor=\"" << anchor << "\" fill=\"" << fill
        << "\"" << extra << ">" << CFormDrawing::Escape(utf8) << "</text>\n";
}

// What a control shows where its value goes: its entry's name, else the field that its init
// action binds it to (the last text of a BindField call).
std::string Placeholder(const Json& c) {
    if (At(c, "entry").is_object()) {
        return Text(At(At(c, "entry"), "name"));
    }
    const Json& events = At(c, "events");
    if (!events.contains("init") || !At(events, "init").contains("code")) {
        return {};
    }
    const std::string code = Text(At(At(events, "init"), "code"));
    if (code.find("BindField") == std::string::npos) {
        return {};
    }
    const size_t close = code.rfind('"');
    const size_t open =
        close == std::string::npos || close == 0 ? std::string::npos : code.rfind('"', close - 1);
    return open == std::string::npos ? std::string() : code.substr(open + 1, close - open - 1);
}

// True when the control's select action switches to `layer`.
bool SwitchesTo(const Json& control, int layer) {
    const Json& events = At(control, "events");
    if (!events.contains("select") || !At(events, "select").contains("code")) {
        return false;
    }
    return Text(At(At(events, "select"), "code")).find("setlayer(" + std::to_string(layer) + ")") !=
           std::string::npos;
}

// A string of the title shown on hover.
std::string Tooltip(const Json& c, const CFormGeometry& geometry, size_t position) {
    std::string text = "#" + std::to_string(IntOf(At(c, "index"))) + " " + Text(At(c, "type"));
    if (At(c, "entry").is_object()) {
        text += ", entry " + Text(At(At(c, "entry"), "name"));
    }
    text += " at " + std::to_string(IntOf(At(c, "x"))) + "," + std::to_string(IntOf(At(c, "y"))) +
            " size " + std::to_string(IntOf(At(c, "w"))) + "x" + std::to_string(IntOf(At(c, "h")));
    if (At(c, "layer").is_number()) {
        text += ", layer " + std::to_string(IntOf(At(c, "layer")));
    }
    if (At(c, "enabled") == false) {
        text += ", disabled";
    }
    for (const auto& [event, action] : At(c, "events").items()) {
        text += "\n" + event + ": " +
                (action.contains("code") ? Text(At(action, "code")) : "(undecodable)");
    }
    const CFormGeometry::Control& place = geometry.Controls()[position];
    if (place.outside) {
        text += "\noutside the " + std::to_string(geometry.Width()) + "x" +
                std::to_string(geometry.Height()) + " screen";
    }
    for (size_t i = 0; i < place.overlaps.size() && i < kMaxNamed; ++i) {
        text += (i == 0 ? "\noverlaps #" : ", #") + std::to_string(place.overlaps[i]);
    }
    if (place.overlaps.size() > kMaxNamed) {
        text += " and " + std::to_string(place.overlaps.size() - kMaxNamed) + " more";
    }
    return text;
}

// One control's drawing: its place, its font and the texts it may show, and a function per
// control type.
struct ControlDrawing {
    std::ostream& out;
    const Json& c;  // the control
    const Json& a;  // its attributes
    std::string type;
    double x;
    double y;
    double w;
    double h;
    double size;         // of the font
    const char* weight;  // of the font
    double baseline;     // of a one-line label centred in the box
    std::string entry;   // the entry the control shows, or nothing
    std::string ink;     // the stroke of the drawing ink

    void Static() const;
    void Field() const;
    void ValueList() const;
    void DateTime() const;
    void Button() const;
    void CheckBox() const;
    void Table() const;
    void FormMenu() const;
    void Bitmap() const;
    void Unknown() const;
};

void ControlDrawing::Static() const {
    Label(out, x, baseline, Text(At(a, "text")), size, weight, "start", kInk, "", w);
}

void ControlDrawing::Field() const {
    const double lineGap = size + 2.5;
    const bool single = At(a, "singleLine") == true || h < 2 * lineGap;
    const int lines = single ? 1 : std::max(1, static_cast<int>(h / lineGap));
    const double right = At(a, "hasScrollBar") == true ? x + w - 5 : x + w;
    for (int i = 1; i <= lines; ++i) {
        const double ly = single ? y + h - 0.5 : y + i * lineGap;
        Line(out, x, ly, right, ly,
             std::string("stroke=\"") + kInk + "\" stroke-width=\"0.8\"" +
                 (At(a, "underlined") == true ? " stroke-dasharray=\"1,1.5\""
                                              : " stroke-opacity=\"0.25\""));
    }
    const std::string just = Text(At(a, "justification"));
    const char* anchor = just == "rightAlign" ? "end" : just == "centerAlign" ? "middle" : "start";
    const double tx = just == "rightAlign" ? right - 1 : just == "centerAlign" ? x + w / 2 : x + 1;
    const double ty = single ? y + h - 2.5 : y + lineGap - 2.5;
    Label(out, tx, ty, At(a, "numeric") == true ? "0" : entry, size, weight, anchor, kGrey,
          " font-style=\"italic\"");
    if (At(a, "hasScrollBar") == true) {
        Rect(out, x + w - 3.5, y + 1, 3, h - 2,
             std::string("fill=\"none\" ") + ink + " stroke-width=\"0.6\"", 1.5);
        Rect(out, x + w - 3.5, y + 1, 3, std::min(8.0, h - 2), std::string("fill=\"") + kInk + "\"",
             1.5);
    }
}

void ControlDrawing::ValueList() const {
    const double t = y + h / 2;
    out << "<path d=\"M" << Num(x + 1) << " " << Num(t - 2) << " h7 l-3.5 4 z\" fill=\"" << kInk
        << "\"/>\n";
    Label(out, x + 11, baseline, entry.empty() ? "..." : entry, size, weight, "start", kInk, "",
          w - 11);
}

void ControlDrawing::DateTime() const {
    Rect(out, x + 0.5, y + 0.5, w - 1, h - 1,
         std::string("fill=\"none\" ") + ink + " stroke-width=\"0.8\" stroke-dasharray=\"1.2,1.2\"",
         3);
    // A small calendar.
    const double cy = y + h / 2 - 3.5;
    Rect(out, x + 3, cy, 8, 7, std::string("fill=\"#fff\" ") + ink + " stroke-width=\"0.7\"");
    Rect(out, x + 3, cy, 8, 2, std::string("fill=\"") + kInk + "\"");
    Label(out, x + 14, baseline, "дд.мм.гггг", size, "normal", "start", kGrey, "", w - 16);
}

void ControlDrawing::Button() const {
    const std::string frame = Text(At(a, "frame"));
    const bool push = type == "pushbutton";
    const bool selected = push && At(a, "selected") == true;
    double radius = push || frame == "rectangleButtonFrame" ? 0 : std::min(5.0, h / 2);
    double stroke = frame == "boldButtonFrame" ? 2 : 1;
    if (!push && frame == "noButtonFrame") {
        stroke = 0;
    }
    if (stroke > 0 || selected) {
        Rect(out, x + stroke / 2, y + stroke / 2, w - stroke, h - stroke,
             std::string("fill=\"") + (selected ? kInk : "#ffffff") + "\" " +
                 (stroke > 0 ? ink + " stroke-width=\"" + Num(stroke) + "\"" : ""),
             radius);
    }
    if (At(a, "content") == "graph") {
        const double s = std::min(w, h) - 6;
        const double ix = x + (w - s) / 2;
        const double iy = y + (h - s) / 2;
        Rect(out, ix, iy, s, s,
             std::string("fill=\"#dfe6ec\" stroke=\"") + kGrey + "\" stroke-width=\"0.6\"", 2);
        out << "<path d=\"M" << Num(ix + 2) << " " << Num(iy + s - 2) << " L" << Num(ix + s * 0.4)
            << " " << Num(iy + s * 0.45) << " L" << Num(ix + s * 0.6) << " " << Num(iy + s * 0.7)
            << " L" << Num(ix + s * 0.75) << " " << Num(iy + s * 0.55) << " L" << Num(ix + s - 2)
            << " " << Num(iy + s - 2) << " z\" fill=\"#7f8c99\"/>\n";
    } else {
        Label(out, x + w / 2, baseline, Text(At(a, "text")), size, weight, "middle",
              selected ? "#ffffff" : kInk, "", w - 4);
    }
}

void ControlDrawing::CheckBox() const {
    const double box = std::min(9.0, h - 2);
    const double by = y + (h - box) / 2;
    Rect(out, x + 1, by, box, box, std::string("fill=\"#fff\" ") + ink + " stroke-width=\"1\"", 1);
    Label(out, x + box + 5, baseline, Text(At(a, "text")), size, weight, "start", kInk, "",
          w - box - 5);
}

void ControlDrawing::Table() const {
    const double row = 11;
    Rect(out, x + 0.5, y + 0.5, w - 1, h - 1,
         std::string("fill=\"#ffffff\" ") + ink + " stroke-width=\"0.8\"");
    const Json& columns = At(a, "columns");
    const size_t n = columns.is_array() && !columns.empty() ? columns.size() : 1;
    const double cw = w / static_cast<double>(n);
    Rect(out, x + 0.5, y + 0.5, w - 1, row,
         std::string("fill=\"#e4e7ea\" ") + ink + " stroke-width=\"0.8\"");
    for (size_t i = 0; i < n; ++i) {
        if (i > 0) {
            Line(out, x + cw * static_cast<double>(i), y + 0.5, x + cw * static_cast<double>(i),
                 y + h - 0.5, "stroke=\"#c2c7cc\" stroke-width=\"0.6\"");
        }
        if (columns.is_array() && i < columns.size()) {
            out << "<svg x=\"" << Num(x + cw * static_cast<double>(i) + 2) << "\" y=\"" << Num(y)
                << "\" width=\"" << Num(std::max(0.0, cw - 4)) << "\" height=\"" << Num(row)
                << "\" overflow=\"hidden\">";
            Label(out, 0, 8.5, Text(columns[i]), 8, "bold");
            out << "</svg>\n";
        }
    }
    for (double ry = y + 2 * row; ry < y + h - 1; ry += row) {
        Line(out, x + 1, ry, x + w - 1, ry, "stroke=\"#d5d9dd\" stroke-width=\"0.5\"");
    }
}

void ControlDrawing::FormMenu() const {
    double ry = y + 2;
    const Json& items = c.contains("items") ? At(c, "items") : Json::array();
    for (const Json& item : items) {
        if (ry + 6 > y + h) {
            break;
        }
        if (At(item, "kind") == "separator") {
            Line(out, x + 8, ry + 3, x + w - 8, ry + 3,
                 "stroke=\"#b0b6bc\" stroke-width=\"0.8\" stroke-dasharray=\"2,2\"");
            ry += 7;
            continue;
        }
        Rect(out, x + 6, ry + 1, 16, 16, "fill=\"#dfe6ec\" stroke=\"#7f8c99\" stroke-width=\"0.7\"",
             3);
        Label(out, x + 14, ry + 12, std::to_string(IntOf(At(item, "bitmap")) % 100), 6.5, "bold",
              "middle", "#4b5661");
        Label(out, x + 28, ry + 13, Text(At(item, "view")), 10, "normal");
        ry += 20;
    }
}

void ControlDrawing::Bitmap() const {
    Rect(out, x + 0.5, y + 0.5, w - 1, h - 1,
         "fill=\"#e9eef2\" stroke=\"#9aa4ad\" stroke-width=\"0.7\"", 2);
    out << "<circle cx=\"" << Num(x + w * 0.72) << "\" cy=\"" << Num(y + h * 0.3) << "\" r=\""
        << Num(std::min(w, h) * 0.1) << "\" fill=\"#f2c14e\"/>\n";
    out << "<path d=\"M" << Num(x + 2) << " " << Num(y + h - 2) << " L" << Num(x + w * 0.38) << " "
        << Num(y + h * 0.42) << " L" << Num(x + w * 0.6) << " " << Num(y + h * 0.72) << " L"
        << Num(x + w * 0.74) << " " << Num(y + h * 0.58) << " L" << Num(x + w - 2) << " "
        << Num(y + h - 2) << " z\" fill=\"#7f8c99\"/>\n";
    Label(out, x + w / 2, y + h - 3, std::to_string(IntOf(At(a, "bitmap"))), 6, "normal", "middle",
          "#4b5661", "", w - 4);
}

void ControlDrawing::Unknown() const {
    Rect(out, x + 0.5, y + 0.5, w - 1, h - 1,
         "fill=\"none\" stroke=\"#c0392b\" stroke-dasharray=\"2,2\"");
    Label(out, x + 2, baseline, "type " + std::to_string(IntOf(At(c, "typeCode"))), 8, "normal",
          "start", "#c0392b");
}

// The drawing of each control type; an unknown type is drawn as a dashed red frame.
constexpr std::pair<std::string_view, void (ControlDrawing::*)() const> kDrawings[] = {
    {"static", &ControlDrawing::Static},       {"field", &ControlDrawing::Field},
    {"valueList", &ControlDrawing::ValueList}, {"datetime", &ControlDrawing::DateTime},
    {"button", &ControlDrawing::Button},       {"pushbutton", &ControlDrawing::Button},
    {"checkbox", &ControlDrawing::CheckBox},   {"table", &ControlDrawing::Table},
    {"formmenu", &ControlDrawing::FormMenu},   {"bitmap", &ControlDrawing::Bitmap},
};

void DrawControl(std::ostream& out, const Json& c) {
    const Json& a = At(c, "attributes");
    const auto [size, weight] = FontOf(a.contains("font") ? At(a, "font") : Json());
    const double y = IntOf(At(c, "y"));
    const double h = IntOf(At(c, "h"));
    const ControlDrawing drawing{out,
                                 c,
                                 a,
                                 Text(At(c, "type")),
                                 static_cast<double>(IntOf(At(c, "x"))),
                                 y,
                                 static_cast<double>(IntOf(At(c, "w"))),
                                 h,
                                 size,
                                 weight,
                                 y + h / 2 + size * 0.36,
                                 Placeholder(c),
                                 std::string("stroke=\"") + kInk + "\""};
    for (const auto& [type, draw] : kDrawings) {
        if (type == drawing.type) {
            (drawing.*draw)();
            return;
        }
    }
    drawing.Unknown();
}

// Extra room beside the screen's frame, in screen pixels, for the controls outside it.
struct Room {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

struct Box {
    int x;
    int y;
    int w;
    int h;
};

// Where a control is drawn: where it is, but no further than kMaxOverhang beyond the screen's
// edges; a control lying wholly beyond that is drawn at that distance, a few pixels of it.
Box Drawn(const CFormGeometry::Control& c, int width, int height) {
    const auto span = [](int at, int size, int screen) {
        const int visible = std::min(size, 4);
        const int from = std::clamp(at, -kMaxOverhang, screen + kMaxOverhang - visible);
        const int to = std::clamp(at + size, from + visible, screen + kMaxOverhang);
        return std::pair{from, to - from};
    };
    const auto [x, w] = span(c.x, c.w, width);
    const auto [y, h] = span(c.y, c.h, height);
    return {x, y, w, h};
}

Room RoomOutside(const CFormGeometry& geometry) {
    // What reaches past the frame gets this much more, so its own outline shows.
    const auto beyond = [](int over) { return over > 0 ? std::max(0, over + 3 - kBezel) : 0; };
    Room room;
    for (const CFormGeometry::Control& c : geometry.Controls()) {
        const Box box = Drawn(c, geometry.Width(), geometry.Height());
        room.left = std::max(room.left, beyond(-box.x));
        room.top = std::max(room.top, beyond(-box.y));
        room.right = std::max(room.right, beyond(box.x + box.w - geometry.Width()));
        room.bottom = std::max(room.bottom, beyond(box.y + box.h - geometry.Height()));
    }
    return room;
}

// Lines every `step` pixels across the screen, as one path.
void Grid(std::ostream& out, int width, int height, int step) {
    out << "<path class=\"grid\" d=\"";
    for (int x = step; x < width; x += step) {
        out << "M" << x << " 0V" << height;
    }
    for (int y = step; y < height; y += step) {
        out << "M0 " << y << "H" << width;
    }
    out << "\" fill=\"none\" stroke=\"" << kIndex
        << "\" stroke-opacity=\"0.3\" stroke-width=\"0.4\"/>\n";
}

// One control with its title and its index label; `control` is drawn (`original` as read),
// on a pale red ground framed in red when it is not wholly on the screen.
void DrawPlaced(std::ostream& out, Json control, const Json& original,
                const CFormGeometry& geometry, size_t position) {
    const CFormGeometry::Control& place = geometry.Controls()[position];
    const Box box = Drawn(place, geometry.Width(), geometry.Height());
    out << "<g class=\"control\"" << (At(original, "enabled") == false ? " opacity=\"0.45\"" : "")
        << "><title>" << CFormDrawing::Escape(Tooltip(original, geometry, position))
        << "</title>\n";
    if (place.outside) {
        Rect(out, box.x, box.y, box.w, box.h,
             std::string("class=\"offscreen\" fill=\"#fdecea\" fill-opacity=\"0.9\" stroke=\"") +
                 kOutside + "\" stroke-width=\"1.2\"");
        control["x"] = box.x;
        control["y"] = box.y;
        control["w"] = box.w;
        control["h"] = box.h;
    }
    DrawControl(out, control);
    // At the top right, where the texts of most controls leave room.
    Label(out, box.x + box.w - 0.5, box.y + 5, "#" + std::to_string(position), 5, "bold", "end",
          place.outside ? kOutside : kIndex,
          " class=\"index\" stroke=\"#ffffff\" stroke-width=\"1.5\" paint-order=\"stroke\"");
    out << "</g>\n";
}

}  // namespace

std::string CFormDrawing::Escape(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                // Control characters are no XML 1.0 characters (line feeds and tabs are).
                out += static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t' ? '?' : c;
        }
    }
    return out;
}

std::string CFormDrawing::Svg(const Json& form, const std::string& object, int width, int height,
                              int grid) {
    const CFormGeometry geometry(form, width, height);
    width = geometry.Width();
    height = geometry.Height();
    const Json& controls = At(form, "controls");
    // The layers that controls name; each gets a screen.
    std::set<int> layers;
    for (const Json& c : controls) {
        if (At(c, "layer").is_number() && layers.size() < kMaxScreens) {
            layers.insert(IntOf(At(c, "layer")));
        }
    }
    const bool layered = !layers.empty();
    if (!layered) {
        layers.insert(CFormGeometry::kEveryLayer);
    }
    const Room room = RoomOutside(geometry);
    const int screens = static_cast<int>(layers.size());
    const int cell = room.left + width + 2 * kBezel + room.right;
    const int totalWidth = screens * cell + (screens - 1) * kGap;
    const int totalHeight = kCaption + room.top + height + 2 * kBezel + room.bottom;

    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << Num(totalWidth * kScale)
        << "\" height=\"" << Num(totalHeight * kScale) << "\" viewBox=\"0 0 " << totalWidth << " "
        << totalHeight << "\" font-family=\"" << kFont << "\">\n"
        << "<title>" << Escape(object + ", form " + Text(At(form, "name"))) << "</title>\n";

    int screenIndex = 0;
    for (const int layer : layers) {
        const int left = screenIndex * (cell + kGap);
        ++screenIndex;
        Label(out, left + 2, 11,
              object + "  \u00b7  " + Text(At(form, "name")) +
                  (layered ? "  \u00b7  layer " + std::to_string(layer) : ""),
              9, "bold", "start", "#3c4043", "", cell - 4);
        Rect(out, left + room.left, kCaption + room.top, width + 2 * kBezel, height + 2 * kBezel,
             "fill=\"#2e3338\"", 12);
        const int sx = left + room.left + kBezel;
        const int sy = kCaption + room.top + kBezel;
        out << "<g class=\"screen\" transform=\"translate(" << sx << " " << sy << ")\">\n"
            << "<clipPath id=\"screen" << screenIndex << "\"><rect width=\"" << width
            << "\" height=\"" << height << "\"/></clipPath>\n"
            << "<g clip-path=\"url(#screen" << screenIndex << ")\">\n";
        Rect(out, 0, 0, width, height, std::string("fill=\"") + kScreen + "\"");
        // The form's title tab and the line under it.
        const std::string title = Text(At(form, "name"));
        const double tab =
            std::min<double>(width - 4, 12 + 6.2 * static_cast<double>(title.size() / 2 + 2));
        Rect(out, 0, 0, tab, kTitleBar - 2, std::string("fill=\"") + kInk + "\"", 3);
        Line(out, 0, kTitleBar - 1.5, width, kTitleBar - 1.5,
             std::string("stroke=\"") + kInk + "\" stroke-width=\"2\"");
        Label(out, 5, 10, title, 9.5, "bold", "start", "#ffffff");
        if (grid > 0) {
            Grid(out, width, height, grid);
        }

        // The groups that have a button switching to this screen's layer.
        std::set<int> selectors;
        for (const Json& c : controls) {
            if (At(c, "type") == "pushbutton" && SwitchesTo(c, layer)) {
                selectors.insert(IntOf(At(At(c, "attributes"), "group")));
            }
        }
        // The controls on the screen first, clipped to it; then, unclipped, those outside it.
        std::set<int> groups;
        std::ostringstream outside;
        for (size_t i = 0; i < controls.size(); ++i) {
            const Json& c = controls[i];
            const CFormGeometry::Control& place = geometry.Controls()[i];
            if (!CFormGeometry::Shows(place, layer)) {
                continue;
            }
            Json control = c;
            // In each group of push buttons one shows selected: the one that switches to the
            // layer on this screen, else the first.
            if (At(c, "type") == "pushbutton") {
                const int group = IntOf(At(At(c, "attributes"), "group"));
                const bool switches = SwitchesTo(c, layer);
                if (switches || (!selectors.contains(group) && !groups.contains(group))) {
                    control["attributes"]["selected"] = true;
                }
                groups.insert(group);
            }
            DrawPlaced(place.outside ? outside : out, control, c, geometry, i);
        }
        out << "</g>\n" << outside.str();
        // The overlapping controls of this screen outlined, above everything.
        for (size_t i = 0; i < controls.size(); ++i) {
            const CFormGeometry::Control& place = geometry.Controls()[i];
            std::string with;
            for (const size_t k : place.overlaps) {
                if (CFormGeometry::Shows(place, layer) &&
                    CFormGeometry::Shows(geometry.Controls()[k], layer)) {
                    with += (with.empty() ? " #" : ", #") + std::to_string(k);
                }
            }
            if (!with.empty()) {
                const Box box = Drawn(place, width, height);
                out << "<rect class=\"overlap\" x=\"" << Num(box.x) << "\" y=\"" << Num(box.y)
                    << "\" width=\"" << Num(box.w) << "\" height=\"" << Num(box.h)
                    << "\" fill=\"none\" stroke=\"" << kOverlap
                    << "\" stroke-width=\"1\" stroke-dasharray=\"3,1.5\"><title>#" << i
                    << " overlaps" << with << "</title></rect>\n";
            }
        }
        out << "</g>\n";
    }
    out << "</svg>\n";
    return out.str();
}

#include "CFormGallery.h"

#include <filesystem>
#include <fstream>
#include <map>

#include "CFormDrawing.h"
#include "CFormGeometry.h"
#include "CInspector.h"
#include "CPlatform.h"

namespace {

namespace fs = std::filesystem;

bool Save(const fs::path& path, const std::string& content, std::vector<std::string>& written,
          std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    out.close();
    if (!out) {
        error = "cannot write " + CPlatform::Text(path);
        return false;
    }
    written.push_back(CPlatform::Text(path));
    return true;
}

// The lines as an HTML list of the given class, or nothing when there are none.
std::string List(const std::vector<std::string>& lines, const char* type) {
    if (lines.empty()) {
        return {};
    }
    std::string html = std::string("<ul class=\"") + type + "\">\n";
    for (const std::string& line : lines) {
        html += "<li>" + CFormDrawing::Escape(line) + "</li>\n";
    }
    return html + "</ul>\n";
}

}  // namespace

bool CFormGallery::Write(const Json& document, const std::string& directory,
                         std::vector<std::string>& written, std::string& error, int grid) {
    return Draw(document, directory, kLimits, written, error, grid) == Outcome::Written;
}

CFormGallery::Outcome CFormGallery::Draw(const Json& document, const std::string& directory,
                                         const Limits& limits, std::vector<std::string>& written,
                                         std::string& error, int grid) {
    const std::string database = At(document, "file").get<std::string>();
    if (!document.contains("configuration")) {
        error = database + " is no configuration database: no forms";
        return Outcome::Failed;
    }
    const Json& configuration = At(document, "configuration");
    const Json& info = At(configuration, "info");
    const int width = At(info, "screenWidth").get<int>();
    const int height = At(info, "screenHeight").get<int>();

    static constexpr const char* kSections[][2] = {{"journals", "Journals"},
                                                   {"documents", "Documents"},
                                                   {"recordViews", "Record views"},
                                                   {"references", "References"},
                                                   {"frames", "Frames"}};
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
        CFormDrawing::Escape(At(info, "name").get<std::string>()) +
        ": forms</title>\n<style>\n"
        "body { font-family: 'DejaVu Sans', Verdana, sans-serif; background: #eceef0; "
        "color: #1b1d1f; margin: 24px; }\n"
        "h1 { font-size: 22px; } h2 { font-size: 18px; margin-top: 32px; }\n"
        "h3 { font-size: 15px; margin: 18px 0 6px; } h3 small { color: #5f6368; font-weight: "
        "normal; }\n"
        ".forms { display: flex; flex-wrap: wrap; gap: 20px; }\n"
        "figure { margin: 0; background: #fff; padding: 10px; border-radius: 8px; "
        "box-shadow: 0 1px 3px rgba(0,0,0,.2); }\n"
        "figure object { display: block; height: 420px; }\n"
        "figcaption { font-size: 13px; margin-top: 6px; max-width: 480px; }\n"
        "p.note { color: #5f6368; font-size: 13px; }\n"
        "ul.problems { color: #a50e0e; font-size: 13px; }\n"
        "ul.warnings { color: #8a5a00; font-size: 13px; }\n"
        "ul.findings { color: #a50e0e; margin: 4px 0 0; padding-left: 18px; }\n"
        "</style>\n</head>\n<body>\n<h1>" +
        CFormDrawing::Escape(At(info, "name").get<std::string>()) + "</h1>\n" +
        "<p class=\"note\">Screen " + std::to_string(width) + " &times; " + std::to_string(height) +
        ". Forms with layers show one screen per layer; grey controls are disabled. Each "
        "control is labelled with its index (#N, as the action code names it); hover it for its "
        "entry and events. Controls outside the screen are drawn where they are, on red; "
        "controls that overlap on a layer are outlined.</p>\n";
    const std::vector<std::string> problems = CInspector::ProblemLines(document);
    const std::vector<std::string> warnings = CInspector::WarningLines(document);
    html += "<h2>Check</h2>\n" +
            (problems.empty() ? std::string("<p class=\"note\">No problems.</p>\n")
                              : List(problems, "problems")) +
            List(warnings, "warnings");
    size_t forms = 0;
    // The files to write, all made before the first is written: past the limits, none is.
    std::vector<std::pair<std::string, std::string>> files;  // name, content
    size_t bytes = 0;
    // False, with the reason, when one more file of `size` bytes would pass the limits.
    const auto fits = [&](size_t size) {
        if (files.size() + 1 > limits.files || size > limits.bytes - bytes) {
            error = database + ": the drawings would take more than " +
                    (files.size() + 1 > limits.files ? std::to_string(limits.files) + " files"
                                                     : std::to_string(limits.bytes) + " bytes") +
                    "; nothing was written";
            return false;
        }
        return true;
    };
    const auto add = [&](std::string name, std::string content) {
        if (!fits(content.size())) {
            return false;
        }
        bytes += content.size();
        files.emplace_back(std::move(name), std::move(content));
        return true;
    };
    // A form drawn alike for several objects (a form table they share) is drawn once.
    std::map<std::string, std::string> drawn;  // the form as JSON, its drawing's file
    for (const auto& section : kSections) {
        const Json& objects = At(configuration, section[0]);
        if (objects.empty()) {
            continue;
        }
        html += "<h2>" + std::string(section[1]) + "</h2>\n";
        for (size_t i = 0; i < objects.size(); ++i) {
            const Json& object = objects[i];
            const std::string name = At(object, "name").get<std::string>();
            html += "<h3>" + CFormDrawing::Escape(name) + " <small>" +
                    CFormDrawing::Escape(At(object, "view").get<std::string>()) +
                    "</small></h3>\n<div class=\"forms\">\n";
            if (At(object, "forms").empty()) {
                html += "<p class=\"note\">no forms</p>\n";
            }
            for (size_t k = 0; k < At(object, "forms").size(); ++k) {
                const Json& form = At(object, "forms")[k];
                const auto [known, added] = drawn.try_emplace(JsonText(form, -1));
                if (added) {
                    known->second = std::string(section[0]) + "-" + std::to_string(i) + "-" +
                                    std::to_string(k) + ".svg";
                    if (!add(known->second, CFormDrawing::Svg(form, name, width, height, grid))) {
                        return Outcome::OverLimit;
                    }
                }
                const std::string& file = known->second;
                ++forms;
                // An object, not an image: the drawing stays a document of its own, whose
                // titles show on hover.
                const std::string formName =
                    CFormDrawing::Escape(At(form, "name").get<std::string>());
                html += "<figure><object data=\"" + file + "\" type=\"image/svg+xml\">" + formName +
                        "</object><figcaption><a href=\"" + file + "\">" + formName +
                        "</a> &middot; " + std::to_string(At(form, "controls").size()) +
                        " controls" +
                        List(CFormGeometry(form, width, height).Findings(), "findings") +
                        "</figcaption></figure>\n";
                if (!fits(html.size())) {
                    return Outcome::OverLimit;
                }
            }
            html += "</div>\n";
        }
    }
    if (forms == 0) {
        html += "<p class=\"note\">The configuration has no forms.</p>\n";
    }
    html += "</body>\n</html>\n";
    if (!add("index.html", std::move(html))) {
        return Outcome::OverLimit;
    }

    std::error_code code;
    fs::create_directories(CPlatform::Path(directory), code);
    if (code) {
        error = "cannot create " + directory + ": " + code.message();
        return Outcome::Failed;
    }
    for (const auto& [file, content] : files) {
        if (!Save(CPlatform::Path(directory) / CPlatform::Path(file), content, written, error)) {
            return Outcome::Failed;
        }
    }
    return Outcome::Written;
}

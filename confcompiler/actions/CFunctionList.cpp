#include "CFunctionList.h"

#include <algorithm>
#include <ostream>

namespace {

using Catalogue = CFunctionCatalogue;

// The names of an argument kind: as the console and the guide show it, and as JSON keys it.
struct KindNaming {
    std::string_view shown;
    std::string_view key;
};

KindNaming KindNames(Catalogue::ArgumentKind kind) {
    switch (kind) {
        case Catalogue::ArgumentKind::String:
            return {"строка", "string"};
        case Catalogue::ArgumentKind::Control:
            return {"элемент", "control"};
        case Catalogue::ArgumentKind::Number:
            break;
    }
    return {"число", "number"};
}

// Characters of a UTF-8 text (the console table pads by what the terminal shows).
size_t Width(std::string_view text) {
    size_t width = 0;
    for (char c : text) {
        width += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return width;
}

std::string Padded(std::string text, size_t width) {
    const size_t shown = Width(text);
    if (shown < width) {
        text.append(width - shown, ' ');
    }
    return text;
}

// A JSON string literal; the catalogue's texts hold no control characters, but quotes and
// backslashes are escaped all the same.
std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

std::string Call(const Catalogue::Function& function) {
    const std::string arguments =
        Catalogue::ArgumentCount(function) == 0 ? "" : CFunctionList::Arguments(function);
    return std::string(function.name) + "(" + arguments + ")";
}

void WriteConsole(std::ostream& out) {
    size_t callWidth = 0;
    for (const Catalogue::Function& function : Catalogue::Functions()) {
        callWidth = std::max(callWidth, Width(Call(function)));
    }
    out << "Функции действий: " << Catalogue::Functions().size()
        << " (аргументы: число - 2 байта, строка - ссылка на текст, 4 байта, элемент - id\n"
           "элемента формы, 2 байта; имена без учета регистра)\n";
    out << "  Id  " << Padded("Функция(аргументы)", callWidth) << "  Описание\n";
    for (const Catalogue::Function& function : Catalogue::Functions()) {
        std::string id = std::to_string(function.id);
        id.insert(0, 4 - id.size(), ' ');
        out << id << "  " << Padded(Call(function), callWidth) << "  " << function.description
            << "\n";
    }
}

void WriteJson(std::ostream& out) {
    out << "[\n";
    bool first = true;
    for (const Catalogue::Function& function : Catalogue::Functions()) {
        out << (first ? "" : ",\n") << "  {\"id\": " << function.id
            << ", \"name\": " << Quoted(function.name) << ", \"arguments\": [";
        for (size_t n = 0; n < Catalogue::ArgumentCount(function); ++n) {
            out << (n == 0 ? "" : ", ")
                << Quoted(CFunctionList::KindKey(Catalogue::Kind(function, n)));
        }
        out << "], \"block\": " << Catalogue::BlockSize(function)
            << ", \"description\": " << Quoted(function.description) << "}";
        first = false;
    }
    out << "\n]\n";
}

void WriteMarkdown(std::ostream& out) {
    out << "| Id | Функция | Аргументы | Блок, байт | Описание |\n"
           "|---:|---|---|---:|---|\n";
    for (const Catalogue::Function& function : Catalogue::Functions()) {
        out << "| " << function.id << " | `" << function.name << "` | "
            << CFunctionList::Arguments(function) << " | " << Catalogue::BlockSize(function)
            << " | " << function.description << " |\n";
    }
}

}  // namespace

bool CFunctionList::ParseFormat(std::string_view option, Format& format) {
    if (option.empty()) {
        format = Format::Console;
    } else if (option == "--json") {
        format = Format::Json;
    } else if (option == "--markdown") {
        format = Format::Markdown;
    } else {
        return false;
    }
    return true;
}

void CFunctionList::Write(Format format, std::ostream& out) {
    switch (format) {
        case Format::Console:
            WriteConsole(out);
            break;
        case Format::Json:
            WriteJson(out);
            break;
        case Format::Markdown:
            WriteMarkdown(out);
            break;
    }
    out << std::flush;
}

std::string_view CFunctionList::KindName(CFunctionCatalogue::ArgumentKind kind) {
    return KindNames(kind).shown;
}

std::string_view CFunctionList::KindKey(CFunctionCatalogue::ArgumentKind kind) {
    return KindNames(kind).key;
}

std::string CFunctionList::Arguments(const CFunctionCatalogue::Function& function) {
    if (CFunctionCatalogue::ArgumentCount(function) == 0) {
        return "-";
    }
    std::string text;
    for (size_t n = 0; n < CFunctionCatalogue::ArgumentCount(function); ++n) {
        text += (n == 0 ? "" : ", ");
        text += KindName(CFunctionCatalogue::Kind(function, n));
    }
    return text;
}

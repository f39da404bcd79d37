#include "CLog.h"

#include <ostream>

#include "CConverter.h"
#include "ConsoleLine.h"

CLog::CLog(std::ostream& out) : out_(out) {}

CLog::~CLog() = default;

void CLog::Line(bool error, int code, std::string_view where, std::string_view message,
                const std::string_view* detail) {
    out_ << OneLine(where) << (error ? "[ERROR " : "[WARNING ") << code << "] " << OneLine(message);
    if (detail != nullptr) {
        out_ << ' ' << OneLine(CConverter::ToUtf8(*detail));
    }
    out_ << std::endl;
}

std::string CLog::OneLine(std::string_view text) {
    return ConsoleLine::HasBreak(text) ? ConsoleLine::Joined(text) : std::string(text);
}

void CLog::Error(int code, std::string_view message) {
    Line(true, code, {}, message, nullptr);
}

void CLog::Warning(int code, std::string_view message) {
    Line(false, code, {}, message, nullptr);
}

void CLog::Error(int code, std::string_view message, std::string_view detail) {
    Line(true, code, {}, message, &detail);
}

void CLog::Warning(int code, std::string_view message, std::string_view detail) {
    Line(false, code, {}, message, &detail);
}

void CLog::Info(std::string_view message) {
    out_ << "[INFO] " << OneLine(message) << std::endl;
}

void CLog::WideLine(std::string_view first, std::string_view second) {
    out_ << OneLine(first) << OneLine(second) << std::endl;
}

void CLog::BlankLine() {
    out_ << std::endl;
}

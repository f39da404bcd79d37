#include "CLog.h"

#include <ostream>

#include "CConverter.h"

CLog::CLog(std::ostream& out) : out_(out) {}

CLog::~CLog() = default;

void CLog::Line(bool error, int code, std::string_view where, std::string_view message,
                const std::string_view* detail) {
    out_ << where << (error ? "[ERROR " : "[WARNING ") << code << "] " << message;
    if (detail != nullptr) {
        out_ << ' ' << CConverter::ToUtf8(*detail);
    }
    out_ << std::endl;
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
    out_ << "[INFO] " << message << std::endl;
}

void CLog::WideLine(std::string_view first, std::string_view second) {
    out_ << first << second << std::endl;
}

void CLog::BlankLine() {
    out_ << std::endl;
}

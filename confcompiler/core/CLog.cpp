#include "CLog.h"

#include <iostream>

#include "CConverter.h"

namespace {
std::ostream* g_stream = nullptr;
}

void CLog::SetStream(std::ostream* stream) {
    g_stream = stream;
}

std::ostream& CLog::Stream() {
    return g_stream ? *g_stream : std::cout;
}

void CLog::Message(bool error, std::string_view message, int code) {
    Stream() << (error ? "[ERROR " : "[WARNING ") << code << "] " << message << std::endl;
}

void CLog::Message(bool error, std::string_view message, std::string_view detail, int code) {
    Stream() << (error ? "[ERROR " : "[WARNING ") << code << "] " << message << ' '
             << CConverter::ToUtf8(detail) << std::endl;
}

void CLog::Info(std::string_view message) {
    Stream() << "[INFO] " << message << std::endl;
}

void CLog::WideLine(std::string_view first, std::string_view second) {
    Stream() << first << second << std::endl;
}

void CLog::BlankLine() {
    Stream() << std::endl;
}

// A temporary directory for a test, removed with everything in it when the test ends.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "Portable.h"

class TempDir {
public:
    TempDir() {
        path_ =
            MakeTempFolder((std::filesystem::temp_directory_path() / "quiltest-XXXXXX").string());
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path() const { return Utf8Text(path_); }
    std::string File(const std::string& name) const {
        return Utf8Text(path_ / CPlatform::Path(name));
    }

    // Writes a file in the folder and returns its path.
    std::string Write(const std::string& name, std::string_view content) const {
        const std::string path = File(name);
        std::ofstream(CPlatform::Path(path), std::ios::binary)
            .write(content.data(), static_cast<std::streamsize>(content.size()));
        return path;
    }
    std::vector<uint8_t> ReadBytes(const std::string& name) const {
        std::ifstream in(CPlatform::Path(File(name)), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    bool Exists(const std::string& name) const {
        return std::filesystem::exists(path_ / CPlatform::Path(name));
    }
    size_t EntryCount() const {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(path_),
                                                 std::filesystem::directory_iterator()));
    }

private:
    std::filesystem::path path_;
};

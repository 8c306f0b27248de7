// A private temporary directory per test, removed at the end; file names go in and out as
// UTF-8, the engine's encoding for paths.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

inline std::filesystem::path PathFromUtf8(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

class TempDir {
  public:
    TempDir() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() / ("orvendal-test-" + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The UTF-8 path of `name` inside the directory.
    std::string Path(const std::string& name) const { return Utf8FromPath(path_ / PathFromUtf8(name)); }

    // Writes `bytes` to `name` and returns its UTF-8 path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string path = Path(name);
        std::ofstream(PathFromUtf8(path), std::ios::binary)
            .write(bytes.data(), std::streamsize(bytes.size()));
        return path;
    }

  private:
    std::filesystem::path path_;
};

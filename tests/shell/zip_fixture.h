#pragma once
// Hand-made ZIP archives for restore tests: foreign, hostile or damaged ones.

#include <minizip/zip.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace tw::test {

// Writes an archive whose entries are (name, content) as given; a name ending
// in '/' is a folder.
inline bool writeZip(const std::filesystem::path& path,
                     const std::vector<std::pair<std::string, std::string>>& entries) {
    zipFile z = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!z) return false;
    for (const auto& [name, content] : entries) {
        zip_fileinfo info{};
        if (zipOpenNewFileInZip64(z, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                  Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0) != ZIP_OK)
            return false;
        zipWriteInFileInZip(z, content.data(), content.size());
        zipCloseFileInZip(z);
    }
    return zipClose(z, nullptr) == ZIP_OK;
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace tw::test

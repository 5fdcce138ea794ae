#pragma once
// Hand-made ZIP archives for restore tests: foreign, hostile or damaged ones;
// and the names in an archive the program wrote.

#include <minizip/unzip.h>
#include <minizip/zip.h>

#include <algorithm>
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

// The names of the entries in an archive, sorted.
inline std::vector<std::string> zipEntryNames(const std::filesystem::path& path) {
    std::vector<std::string> names;
    unzFile z = unzOpen64(path.c_str());
    for (int rc = unzGoToFirstFile(z); rc == UNZ_OK; rc = unzGoToNextFile(z)) {
        char name[512];
        unzGetCurrentFileInfo64(z, nullptr, name, sizeof name, nullptr, 0, nullptr, 0);
        names.emplace_back(name);
    }
    unzClose(z);
    std::sort(names.begin(), names.end());
    return names;
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

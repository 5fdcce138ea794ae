#pragma once
// Everything below a folder, byte for byte: for checking that a refused or
// killed command changed nothing, and left nothing behind.

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace tw::test {

inline std::string fileBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

// A file's bytes in short: their count and a 64-bit FNV-1a hash of them, so
// that a failed comparison names the files that differ and stays readable.
inline std::string digest(const std::string& bytes) {
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    return std::to_string(bytes.size()) + " bytes #" + std::to_string(h);
}

// Relative path (UTF-8) -> the digest of a file's bytes, "<folder>",
// "-> target" of a link, "<special>" for other kinds. Links are not followed.
inline std::map<std::string, std::string> fileTree(const std::filesystem::path& root) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> out;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        const auto rel = it->path().lexically_relative(root).u8string();
        const std::string name(rel.begin(), rel.end());
        const auto status = it->symlink_status();
        if (fs::is_symlink(status)) {
            out[name] = "-> " + fs::read_symlink(it->path()).string();
        } else if (fs::is_directory(status)) {
            out[name] = "<folder>";
        } else if (fs::is_regular_file(status)) {
            out[name] = digest(fileBytes(it->path()));
        } else {
            out[name] = "<special>";
        }
    }
    return out;
}

// Only the names of the entries.
inline std::map<std::string, std::string> namesOnly(std::map<std::string, std::string> tree) {
    for (auto& [name, what] : tree) what.clear();
    return tree;
}

}  // namespace tw::test

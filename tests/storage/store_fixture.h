#pragma once
// A temporary account-set directory with a record store anchored in it.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "storage/record_store.h"

namespace tw::test {

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("tallowick-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const {
        return path_ / std::filesystem::u8path(name);
    }

private:
    std::filesystem::path path_;
};

// Every record of a table file, as text, opened by a fresh store.
inline std::vector<std::string> tableRows(const std::filesystem::path& anchor,
                                          const std::filesystem::path& path,
                                          const std::string& password) {
    RecordStore store(anchor);
    std::vector<std::string> rows;
    if (!store.openTable(path, password)) return {"<cannot open>"};
    for (store.goFirst(); !store.isPastEnd(); store.skipRecords(1)) {
        std::string line;
        for (int i = 1; i <= store.fieldCount(); ++i) {
            const Value v = store.readField(i);
            line += (i > 1 ? "|" : "") + (v.isText() ? v.text() : std::to_string(v.number()));
        }
        rows.push_back(line);
    }
    return rows;
}

}  // namespace tw::test

#pragma once
// Template files of the account-set directory are made once, when missing:
// the tables every new set copies (storage/schemas.h lists them), and any
// other file a part of the program delivers. An existing file is never
// touched, and a file appears whole or not at all, its new name synced with
// the directory (storage/file_swap.h).

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "storage/record_store.h"

namespace tw {

// Appends a template table's records to the table open in the store.
using TemplateRecords = std::function<void(RecordStore&)>;

// Makes each template table that is missing, with its schema and password,
// holding the records `contents` gives for its file name (the others stay
// empty). A table that cannot be written stays missing; creating a set says so.
void makeMissingTemplateTables(const std::filesystem::path& dataDir,
                               const std::map<std::string, TemplateRecords>& contents);

// Makes `path` when it is missing: `make` writes the file at the temporary
// name it is handed; a file that appeared meanwhile is kept.
void makeFileIfMissing(const std::filesystem::path& path,
                       const std::function<void(const std::filesystem::path&)>& make);

}  // namespace tw

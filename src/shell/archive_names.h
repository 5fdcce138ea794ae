#pragma once
// Which names make up an account set, and so go into a backup archive, and
// which names coming out of one may be unpacked.

#include <optional>
#include <string>

namespace tw {

// The files of a set: its table files and its workbooks (the report and
// cover workbooks, and the ledger files the report window writes). A backup
// holds these and nothing else; a restore accepts nothing else.
bool isSetFileName(const std::string& fileName);

// False for what is no part of a set folder's contents: SQLite's journal
// files, the set's lock file, the program's work folders, temporary files and
// their folder.
// What a restore keeps of the old folder is decided by it.
bool isArchivedName(const std::string& fileName);

struct EntryName {
    std::string path;  // '/'-separated, relative, without "." parts; empty = nothing to unpack
    bool folder = false;
};

// The relative path an archive entry unpacks to. nullopt when the entry would
// land outside the folder it is unpacked into: an absolute path, a drive
// letter, a ".." part, or a link. Names without the UTF-8 flag are taken as
// UTF-8 when they are valid UTF-8, otherwise as GBK (archives made on Chinese
// Windows).
std::optional<EntryName> entryName(const std::string& raw, unsigned long flags,
                                   unsigned long versionMadeBy, unsigned long externalAttributes);

bool isValidUtf8(const std::string& text);

}  // namespace tw

#pragma once
// Page grids printed to PDF from the command line, through the same painting
// as the print preview. Needs no display: without one, Qt draws offscreen.

#include <string>
#include <vector>

#include "cli/command.h"
#include "platform/page_grid.h"
#include "platform/sheet_footer.h"

namespace tw::cli {

// Writes the grid's sheets to `file`, refusing a target inside the
// account-set directory, one that is no regular file, or one whose folder is
// missing or cannot be written (storage/user_files.h); a file that cannot be
// written whole is refused with the real reason (userFileFailure: the disk
// message for a full disk) and the earlier file stays. On failure prints the
// message and sets the exit status. True when written. Every sheet carries
// `footer`.
bool writePagePdf(Context& ctx, const PageGrid& grid, const std::string& file,
                  const SheetFooter& footer = {});
// The same for several grids, one after another in one file.
bool writePagePdf(Context& ctx, const std::vector<PageGrid>& grids, const std::string& file,
                  const SheetFooter& footer = {});

}  // namespace tw::cli

// Writes page 1, the map of free pages of the whole file.
#pragma once

#include "jetwrite/page_file.h"

namespace zl::jetwrite {

// Fills page `page` with the global map: no page of the file is free, every page number past
// its end is. Must be called after the last page is allocated, except bitmap pages it adds.
void writeGlobalUsageMap(PageFile& file, PageNumber page);

}  // namespace zl::jetwrite

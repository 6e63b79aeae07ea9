// SPDX-License-Identifier: Apache-2.0
#include "file_format.h"

namespace corvadex::esew {

std::string FileFormat::problem() const {
  if (pageSize != 4096 && pageSize != 8192 && pageSize != 16384 && pageSize != 32768)
    return "page size must be 4096, 8192, 16384 or 32768";
  if (revision != 0x09 && revision != 0x0c && revision != 0x11 && revision != 0x14)
    return "revision must be 0x09, 0x0c, 0x11 or 0x14";
  if (largePages() && revision < 0x11)
    return "16 and 32 KiB pages exist only from revision 0x11 on";
  return {};
}

}  // namespace corvadex::esew

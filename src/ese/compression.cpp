// Placeholder until decompression lands: every scheme is unsupported.
#include "ese/compression.h"

namespace ese {
JET_ERR DecompressValue(std::span<const std::byte>, std::vector<std::byte>& out) {
  out.clear();
  return JET_errInvalidParameter;
}
}  // namespace ese

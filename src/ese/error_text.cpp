// Placeholder until the error table lands.
#include "ese/error_text.h"

namespace ese {
std::string ErrorText(JET_ERR code) { return "Error " + std::to_string(code); }
}  // namespace ese

#include "vault/core/PiFraction.h"

namespace vault {

const std::uint32_t kPiFraction[kPiFractionWords] = {
#include "PiFraction.inc"
};

}  // namespace vault

#!/usr/bin/env bash
# Fuzzes DecipherText, the update control-file reader and the SZDD expander
# with libFuzzer, each for a bounded time (default 60 seconds).
# Builds with clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# build-fuzz/, apart from the normal build. Usage: scripts/fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
cxx=${CXX_FUZZ:-clang++-14}
out=build-fuzz
mkdir -p "$out/corpus" "$out/findings" "$out/corpus_control" "$out/corpus_szdd"

# The pi table the cipher starts from, made as the normal build makes it.
"$cxx" -std=c++20 -O2 -o "$out/pi_fraction" src/vault/core/PiFractionGenerator.cpp
"$out/pi_fraction" "$out/PiFraction.inc"

sources=(
  fuzz/fuzz_decipher.cpp
  src/vault/core/Base64.cpp src/vault/core/BlockOp.cpp src/vault/core/LbBlowfish.cpp src/vault/core/PassPhraseDigest.cpp
  src/vault/core/PiFraction.cpp src/vault/core/StoredForm.cpp
  src/platform/core/SecureZero.cpp src/platform/core/TickCounter.cpp
)
# shellcheck disable=SC2046
"$cxx" -std=c++20 -g -O1 -fPIC -Wall -Wextra -Wpedantic -Werror \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -Isrc -I"$out" $(pkg-config --cflags Qt6Core) \
  "${sources[@]}" -o "$out/fuzz_decipher" $(pkg-config --libs Qt6Core)

"$out/fuzz_decipher" -max_total_time="$seconds" -print_final_stats=1 -max_len=4096 \
  -artifact_prefix="$out/findings/" "$out/corpus" fuzz/seeds

# The update engine's readers of what a server sends.
update_sources=(src/platform/core/Cp1252.cpp src/platform/core/VersionMark.cpp
  src/services/core/update/ControlFile.cpp src/services/core/update/UpdateRules.cpp src/services/core/update/Szdd.cpp)
for target in control_file szdd; do
  # shellcheck disable=SC2046
  "$cxx" -std=c++20 -g -O1 -fPIC -Wall -Wextra -Wpedantic -Werror \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -Isrc $(pkg-config --cflags Qt6Core) \
    "fuzz/fuzz_$target.cpp" "${update_sources[@]}" -o "$out/fuzz_$target" $(pkg-config --libs Qt6Core)
done
"$out/fuzz_control_file" -max_total_time="$seconds" -print_final_stats=1 -max_len=65536 \
  -artifact_prefix="$out/findings/" "$out/corpus_control" fuzz/seeds_control
"$out/fuzz_szdd" -max_total_time="$seconds" -print_final_stats=1 -max_len=65536 \
  -artifact_prefix="$out/findings/" "$out/corpus_szdd" fuzz/seeds_szdd

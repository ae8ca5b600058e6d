#!/usr/bin/env bash
# Fuzzes with libFuzzer for a bounded time per target (default 60 seconds):
# DecipherText, the JPEG decoding of picture column contents, the update
# control-file reader and the SZDD expander. Builds with
# clang, AddressSanitizer and UndefinedBehaviorSanitizer in build-fuzz/, apart
# from the normal build. Usage: scripts/fuzz.sh [seconds] [decipher] [jpeg]
# [control_file] [szdd] (no target named: all).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(decipher jpeg control_file szdd)
cxx=${CXX_FUZZ:-clang++-14}
out=build-fuzz
mkdir -p "$out/findings"

flags=(-std=c++20 -g -O1 -fPIC -Wall -Wextra -Wpedantic -Werror
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -Isrc -I"$out")

run() {  # name, max_len, seeds folder
  mkdir -p "$out/corpus-$1"
  "$out/fuzz_$1" -max_total_time="$seconds" -print_final_stats=1 -max_len="$2" \
    -artifact_prefix="$out/findings/$1-" "$out/corpus-$1" "$3"
}

for target in "${targets[@]}"; do
  case "$target" in
  decipher)
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
    "$cxx" "${flags[@]}" $(pkg-config --cflags Qt6Core) \
      "${sources[@]}" -o "$out/fuzz_decipher" $(pkg-config --libs Qt6Core)
    # The corpus of earlier runs stays where it was.
    [[ -d "$out/corpus" && ! -e "$out/corpus-decipher" ]] && mv "$out/corpus" "$out/corpus-decipher"
    run decipher 4096 fuzz/seeds
    ;;
  jpeg)
    # shellcheck disable=SC2046
    "$cxx" "${flags[@]}" $(pkg-config --cflags Qt6Core libjpeg) \
      fuzz/fuzz_jpeg.cpp src/screenshots/core/JpegCodec.cpp -o "$out/fuzz_jpeg" $(pkg-config --libs Qt6Core libjpeg)
    run jpeg 65536 fuzz/seeds-jpeg
    ;;
  control_file | szdd)
    # The update engine's readers of what a server sends.
    update_sources=(src/platform/core/Cp1252.cpp src/platform/core/VersionMark.cpp
      src/services/core/update/ControlFile.cpp src/services/core/update/UpdateRules.cpp src/services/core/update/Szdd.cpp)
    # shellcheck disable=SC2046
    "$cxx" "${flags[@]}" $(pkg-config --cflags Qt6Core) \
      "fuzz/fuzz_$target.cpp" "${update_sources[@]}" -o "$out/fuzz_$target" $(pkg-config --libs Qt6Core)
    if [[ $target == control_file ]]; then run control_file 65536 fuzz/seeds_control; else run szdd 65536 fuzz/seeds_szdd; fi
    ;;
  *) echo "unknown fuzz target: $target" >&2; exit 2 ;;
  esac
done

#!/usr/bin/env bash
# Fuzzes with libFuzzer for a bounded time per target (default 60 seconds):
# DecipherText, and the JPEG decoding of picture column contents. Builds with
# clang, AddressSanitizer and UndefinedBehaviorSanitizer in build-fuzz/, apart
# from the normal build. Usage: scripts/fuzz.sh [seconds] [decipher] [jpeg]
# (no target named: both).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(decipher jpeg)
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
  *) echo "unknown fuzz target: $target" >&2; exit 2 ;;
  esac
done

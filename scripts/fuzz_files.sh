#!/usr/bin/env bash
# Fuzzes the Intel HEX reader and the binary load (tests/files/fuzz_files.cpp)
# with libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   scripts/fuzz_files.sh [SECONDS] [--update-corpus]
#
# SECONDS (default 60) bounds the whole run. The seed corpus is
# tests/files/corpus; new inputs go to the build directory only, unless
# --update-corpus adds the ones that reach new code to the seed corpus.
# Exits non-zero on a finding; the input that caused it is kept in
# $BUILD/findings/. The build directory is $ZORBIX_FUZZ_BUILD_DIR, by default
# ${TMPDIR:-/tmp}/zorbix-fuzz-files.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=60
update=no
for arg in "$@"; do
  case $arg in
    --update-corpus) update=yes ;;
    ''|*[!0-9]*) echo "usage: $0 [SECONDS] [--update-corpus]" >&2; exit 2 ;;
    *) seconds=$arg ;;
  esac
done

build=${ZORBIX_FUZZ_BUILD_DIR:-${TMPDIR:-/tmp}/zorbix-fuzz-files}
cxx=${CXX_FUZZ:-clang++}
seeds=$root/tests/files/corpus
sources=(
  "$root/files/intel_hex.cpp" "$root/files/binary_file.cpp" "$root/fileio/safe_save.cpp"
  "$root/fileio/posix_file.cpp" "$root/files/text_lines.cpp" "$root/tests/files/fuzz_files.cpp"
)
mkdir -p "$build/corpus" "$build/findings"

target=$build/fuzz_files
stale=no
[ -x "$target" ] || stale=yes
for f in "${sources[@]}" "$root"/files/*.h "$root"/fileio/*.h; do
  [ "$f" -nt "$target" ] && stale=yes
done
if [ $stale = yes ]; then
  echo "building $target" >&2
  "$cxx" -std=c++17 -Wall -Wextra -O1 -g -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root" "${sources[@]}" -o "$target"
fi

# Inputs longer than a few dozen lines reach nothing new: every line is
# checked on its own.
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=1024 \
  -artifact_prefix="$build/findings/" -print_final_stats=1 "$build/corpus" "$seeds"

if [ $update = yes ]; then
  # Keep the seeds and add only the inputs that reach new code; counting
  # edges rather than hit counts keeps the corpus to a few dozen files.
  "$target" -merge=1 -use_counters=0 "$seeds" "$build/corpus"
  echo "seed corpus: $(ls "$seeds" | wc -l) files" >&2
fi

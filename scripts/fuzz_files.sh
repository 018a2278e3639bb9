#!/usr/bin/env bash
# Fuzzes every reader of what a user can hand the program, with libFuzzer
# under AddressSanitizer and UndefinedBehaviorSanitizer, one target after the
# other:
#   files             the Intel HEX reader and the binary load (tests/files/fuzz_files.cpp)
#   settings_text     the settings file's text (tests/shell/fuzz_settings_text.cpp)
#   language_file     the INI reader of the language file (tests/shell/fuzz_language_file.cpp)
#   simulation_value  the ZORBIX_SIMULATION value (tests/engine/fuzz_simulation_value.cpp)
#   chip_file         the loader of a virtual chip's file (tests/engine/fuzz_chip_file.cpp)
#
#   scripts/fuzz_files.sh [SECONDS] [--update-corpus] [TARGET...]
#
# SECONDS (default 60) bounds the whole run, shared among the targets chosen
# (all by default). Each target's seed corpus is the folder named below; new
# inputs go to the build directory only, unless --update-corpus adds the ones
# that reach new code to the seed corpus. Exits non-zero on a finding; the
# input that caused it is kept in $BUILD/findings/TARGET/. The build
# directory is $ZORBIX_FUZZ_BUILD_DIR, by default ${TMPDIR:-/tmp}/zorbix-fuzz-files.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)

# name, its source, its seed corpus, and the longest input worth trying.
# The HEX reader checks every line on its own, the INI reader and the
# settings text likewise; a value of a few entries reaches all its checks;
# a chip file must be able to reach past a small chip's end.
targets=(
  "files            tests/files/fuzz_files.cpp              tests/files/corpus                  1024"
  "settings_text    tests/shell/fuzz_settings_text.cpp      tests/shell/settings_text_corpus    2048"
  "language_file    tests/shell/fuzz_language_file.cpp      tests/shell/language_file_corpus    4096"
  "simulation_value tests/engine/fuzz_simulation_value.cpp  tests/engine/simulation_value_corpus 512"
  "chip_file        tests/engine/fuzz_chip_file.cpp         tests/engine/chip_file_corpus       4096"
)

seconds=60
update=no
chosen=()
for arg in "$@"; do
  case $arg in
    --update-corpus) update=yes ;;
    [a-z]*) chosen+=("$arg") ;;
    ''|*[!0-9]*) echo "usage: $0 [SECONDS] [--update-corpus] [TARGET...]" >&2; exit 2 ;;
    *) seconds=$arg ;;
  esac
done
if [ ${#chosen[@]} -eq 0 ]; then
  for t in "${targets[@]}"; do chosen+=("${t%% *}"); done
fi

build=${ZORBIX_FUZZ_BUILD_DIR:-${TMPDIR:-/tmp}/zorbix-fuzz-files}
cxx=${CXX_FUZZ:-clang++}
flags=(-std=c++17 -Wall -Wextra -O1 -g -fno-omit-frame-pointer
       -fsanitize=address,undefined -fno-sanitize-recover=undefined -I"$root")
mkdir -p "$build/objects"

# The pure layers the targets call, in one archive: each target takes from it
# only what it uses. Rebuilt when any of their sources is newer.
library=$build/libzorbix_pure.a
shopt -s nullglob
sources=("$root"/files/*.cpp "$root"/fileio/*.cpp "$root"/engine/*.cpp "$root"/engine/sim/*.cpp
         "$root"/engine/backends/*.cpp "$root"/shell/registry_text.cpp "$root"/shell/ini_file.cpp)
headers=("$root"/files/*.h "$root"/fileio/*.h "$root"/engine/*.h "$root"/engine/sim/*.h
         "$root"/engine/backends/*.h "$root"/shell/registry_text.h "$root"/shell/ini_file.h)
shopt -u nullglob
newer() {  # newer FILE SOURCES...: true if FILE is missing or older than one of them
  local file=$1 f
  shift
  [ -e "$file" ] || return 0
  for f in "$@"; do [ "$f" -nt "$file" ] && return 0; done
  return 1
}
if newer "$library" "${sources[@]}" "${headers[@]}" "$0"; then
  echo "building $library" >&2
  rm -f "$build"/objects/*.o "$library"
  # Two compilers at a time, through ccache when it is there.
  launcher=$(command -v ccache || true)
  running=()
  for s in "${sources[@]}"; do
    o=${s#"$root"/}
    $launcher "$cxx" "${flags[@]}" -c "$s" -o "$build/objects/${o//\//_}.o" &
    running+=($!)
    if [ ${#running[@]} -ge 2 ]; then
      wait "${running[0]}"
      running=("${running[@]:1}")
    fi
  done
  for pid in "${running[@]}"; do wait "$pid"; done
  ar rcs "$library" "$build"/objects/*.o
fi

status=0
share=$((seconds / ${#chosen[@]}))
[ "$share" -ge 1 ] || share=1
for name in "${chosen[@]}"; do
  line=
  for t in "${targets[@]}"; do [ "${t%% *}" = "$name" ] && line=$t; done
  if [ -z "$line" ]; then echo "unknown target $name" >&2; exit 2; fi
  read -r _ source seeds max_len <<< "$line"
  target=$build/fuzz_$name
  if newer "$target" "$root/$source" "$library"; then
    echo "building $target" >&2
    "$cxx" "${flags[@]}" -fsanitize=fuzzer "$root/$source" "$library" -o "$target"
  fi
  mkdir -p "$build/corpus/$name" "$build/findings/$name"
  echo "fuzzing $name for $share s" >&2
  if ! "$target" -max_total_time="$share" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
      -artifact_prefix="$build/findings/$name/" -print_final_stats=1 \
      "$build/corpus/$name" "$root/$seeds"; then
    echo "finding in $name: see $build/findings/$name/" >&2
    status=1
  fi
  if [ $update = yes ]; then
    # Keep the seeds and add only the inputs that reach new code; counting
    # edges rather than hit counts keeps each corpus to a few dozen files.
    "$target" -merge=1 -use_counters=0 "$root/$seeds" "$build/corpus/$name"
    echo "seed corpus of $name: $(ls "$root/$seeds" | wc -l) files" >&2
  fi
done
exit $status

#!/usr/bin/env bash
# Installs what is missing, builds with sanitizers, runs every test, runs each
# fuzz target briefly over its seed corpus, and reports the benchmark ratios.
# FUZZ_SECONDS (default 10) sets how long each fuzz target runs.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD
jobs=$(nproc 2>/dev/null || echo 2)

tools/install-deps.sh test

echo "== Tests (g++, AddressSanitizer + UndefinedBehaviorSanitizer)"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTV_SANITIZE=ON -DTV_WERROR=ON >/dev/null
cmake --build build/test -j "$jobs"
# The window's tests run on Qt's offscreen platform: no display is needed.
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/test -j "$jobs" --output-on-failure

echo "== Fuzz targets (clang-14, libFuzzer)"
CXX=clang++-14 cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTV_FUZZ=ON -DTV_WERROR=ON >/dev/null
cmake --build build/fuzz -j "$jobs"
seeds=build/fuzz/seeds
rm -rf "$seeds" build/fuzz/corpus
build/fuzz/fuzz/make_fuzz_seeds "$seeds"
# A large allocation from a small input is a finding: the readers bound their
# memory by their input, so the limits below are never reached by a sound one.
for fuzzer in build/fuzz/fuzz/fuzz_*; do
  name=${fuzzer##*/fuzz_}
  corpus=build/fuzz/corpus/$name
  artifacts=build/fuzz/artifacts/$name
  log=build/fuzz/$name.log
  mkdir -p "$corpus" "$artifacts"
  cp -r "$seeds/$name/." "$corpus/"
  regressions=()
  [ -d "fuzz/regressions/$name" ] && regressions=("fuzz/regressions/$name")
  echo "-- $name"
  # Targets that write files run faster in memory than on disk.
  if ! TMPDIR=$(test -d /dev/shm && echo /dev/shm || echo /tmp) \
    "$fuzzer" -max_total_time="${FUZZ_SECONDS:-10}" -timeout=10 -malloc_limit_mb=256 -rss_limit_mb=1024 \
      -artifact_prefix="$artifacts/" -print_final_stats=0 "$corpus" "${regressions[@]}" >"$log" 2>&1; then
    cat "$log"
    echo "fuzz target $name failed; the input that did it is in $artifacts/." >&2
    echo "Keep it as a regression case: copy it into fuzz/regressions/$name/ and commit it." >&2
    exit 1
  fi
  tail -n 2 "$log"
done

echo "== Debian package (release build; lintian, AppStream, desktop entry, manual pages)"
rm -rf build/package
tools/make-deb.sh build/package
tools/check-deb.sh build/package/portrait-editor_*.deb

echo "== Benchmarks (release; ratios against a baseline of the same run)"
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTV_BUILD_BENCH=ON \
  -DTV_BUILD_TESTS=OFF -DTV_GUI=OFF -DTV_WERROR=ON >/dev/null
cmake --build build/bench -j "$jobs"
# The ratios are printed, not enforced: a shared CI machine is too noisy for
# a pass or fail on speed.
bench/run_all.sh build/bench 2>&1 | grep -E '^(==|ratio)'

echo "== All tests passed"

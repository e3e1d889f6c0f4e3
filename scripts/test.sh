#!/usr/bin/env bash
# Builds everything and runs every test: the release build's tests, the same
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, the tests of
# many jobs at once under ThreadSanitizer, the Windows
# x64 cross build with its tests and sample jobs under Wine, and each fuzz
# target for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
bash scripts/ensure_packages.sh "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${CUPS_PACKAGES[@]}" \
  "${PACKAGE_PACKAGES[@]}" "${DOCUMENT_PACKAGES[@]}" "${PRINTER_APP_PACKAGES[@]}"

jobs=$(nproc)
fuzz_seconds=${TVZX_FUZZ_SECONDS:-20}
passed=0
failed=0
skipped=0

# Runs ctest in a build folder (further arguments go to ctest) and adds
# its counts to the totals; a skipped test counts apart.
run_ctest() {
  local dir=$1 log
  shift
  log=$(mktemp)
  set +e
  ctest --test-dir "$dir" --output-on-failure -j"$jobs" "$@" 2>&1 | tee "$log"
  set -e
  local line total bad skip
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  skip=$(grep -cE '^[[:space:]]*[0-9]+ - .* \(Skipped\)$' "$log" || true)
  rm -f "$log"
  if [ -z "$line" ]; then
    echo "== no test result in $dir"
    failed=$((failed + 1))
    return
  fi
  bad=$(sed -E 's/.*tests passed, ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.*tests passed, ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
  passed=$((passed + total - bad - skip))
  failed=$((failed + bad))
  skipped=$((skipped + skip))
}

# Runs a check script (further arguments go to it) and adds the counts of
# its closing line ("LABEL: N passed, N failed[, N skipped]"); a script
# that ends without that line counts as one failure.
run_checks() {
  local label=$1 script=$2 log line
  shift 2
  log=$(mktemp)
  bash "scripts/$script" "$@" 2>&1 | tee "$log" || true
  line=$(grep -E "^$label: [0-9]+ passed, [0-9]+ failed(, [0-9]+ skipped)?\$" "$log" | tail -n 1 || true)
  rm -f "$log"
  if [ -z "$line" ]; then
    echo "== no result from $script"
    failed=$((failed + 1))
    return
  fi
  passed=$((passed + $(sed -E 's/.*: ([0-9]+) passed.*/\1/' <<<"$line")))
  failed=$((failed + $(sed -E 's/.* ([0-9]+) failed.*/\1/' <<<"$line")))
  skipped=$((skipped + $(sed -nE 's/.* ([0-9]+) skipped$/\1/p' <<<"$line" | grep . || echo 0)))
}

echo "== release build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build
run_ctest build
# The checks of whole programs: the CUPS filter through a private
# scheduler, the Debian package proved from its installed files alone and
# purged again, documents of the producers Linux users have, and the
# printer application with real IPP clients. Each check counts.
run_checks "package checks" package_check.sh build
run_checks "cups checks" cups_check.sh build
run_checks "document checks" documents_check.sh build
run_checks "printer-app checks" printer_app_check.sh build

echo "== AddressSanitizer and UndefinedBehaviorSanitizer build"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTVZX_SANITIZE=ON -DTVZX_BENCH=OFF >/dev/null
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 run_ctest build-asan

echo "== ThreadSanitizer build: many jobs at once through one module"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTVZX_TSAN=ON -DTVZX_BENCH=OFF >/dev/null
cmake --build build-tsan
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/tsan_suppressions.txt run_ctest build-tsan -R 'ConcurrentJobs|SpoolerPrinter|PlugInJob'

echo "== Windows x64 cross build, proved under Wine"
cmake -S . -B build-mingw -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DTVZX_CORE_ONLY=OFF >/dev/null
if cmake --build build-mingw; then
  passed=$((passed + 1))
  # The driver package, its INF through the setup API, the export and
  # import tables, the Windows unit tests and the sample jobs against the
  # release build's streams; each check counts.
  run_checks "wine checks" wine_check.sh build-mingw build
else
  failed=$((failed + 1))
fi

echo "== fuzz targets, ${fuzz_seconds}s each"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTVZX_FUZZ=ON -DTVZX_SANITIZE=ON >/dev/null
cmake --build build-fuzz
corpus=build-fuzz/corpus
bash fuzz/make_seeds.sh build/tools/tvzx/tvzx "$corpus"
for target in build-fuzz/fuzz/*_fuzz; do
  name=$(basename "$target")
  mkdir -p "$corpus/$name"
  # Each target starts from its seeds and any fuzz/corpus/<name> files.
  [ -d "fuzz/corpus/$name" ] && cp -n fuzz/corpus/"$name"/* "$corpus/$name"/ 2>/dev/null || true
  if (cd build-fuzz && "./fuzz/$name" -max_total_time="$fuzz_seconds" -max_len=65536 \
        -print_final_stats=0 "corpus/$name" >"$name.log" 2>&1); then
    echo "fuzz $name: ok ($(grep -Eo 'Done [0-9]+ runs' "build-fuzz/$name.log" || echo 'ran'))"
    passed=$((passed + 1))
  else
    echo "fuzz $name: FAILED"
    tail -n 40 "build-fuzz/$name.log"
    failed=$((failed + 1))
  fi
done

echo "tests: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# The Windows x64 build proved under Wine: the driver package (cpack -G ZIP)
# unpacked and its INF read through Wine's setup API, its driver added to
# Wine's spooler from the package's files, the export and import tables of
# the shipped modules, the unit tests of the Windows build, and every
# built-in sample job rendered by the package's tvzx.exe with the package's
# plug-in, which must give the Linux build's stream byte for byte apart from
# the named values that depend on the time of the job. The tab sample prints
# through a printer of Wine's spooler with the package's driver, its tab
# sheets made by workers that rundll32.exe runs; after tvzx.exe
# printer-data has changed that printer's data through the spooler, the
# next job follows the new values as the Linux build's job does.
#
#   bash scripts/wine_check.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR
#
# Prints one line per check and, last, "wine checks: P passed, F failed,
# S skipped";
# exits non-zero when a check failed. WINEPREFIX defaults to a fresh prefix
# inside the Windows build folder.
set -uo pipefail
windows=$(realpath "${1:?the Windows build folder}")
linux=$(realpath "${2:?the Linux build folder}")
cd "$(dirname "$0")/.." || exit 1

passed=0
failed=0
skipped=0
pass() { echo "check $1: ok"; passed=$((passed + 1)); }
fail() { echo "check $1: FAILED${2:+ ($2)}"; failed=$((failed + 1)); }
summary() { echo "wine checks: $passed passed, $failed failed, $skipped skipped"; [ "$failed" -eq 0 ]; }

objdump=x86_64-w64-mingw32-objdump
tests=$windows/tests/tvzx_tests.exe
work=$(mktemp -d)

# The driver package as an administrator gets it: the archive cpack makes,
# unpacked. Everything below runs from its files, not the build folder's.
(cd "$windows" && rm -f tvzx_*_windows_x64.zip && cpack -G ZIP >"$work/cpack.log" 2>&1)
archive=$(ls "$windows"/tvzx_*_windows_x64.zip 2>/dev/null | head -n 1)
version=$(basename "${archive:-none}" | sed -En 's/^tvzx_(.*)_windows_x64\.zip$/\1/p')
folder=tvzx_${version}_windows_x64
package_files="INSTALL.txt sample_printer.reg tvzx.dll tvzx.exe tvzx.inf tvzx.lng tvzx.ppd tvzx_n.dll tvzx_ps.dll tvzx_ps.ini"
if [ -n "$archive" ] && mkdir -p "$work/unpacked" && (cd "$work/unpacked" && cmake -E tar xf "$archive") &&
   [ "$(LC_ALL=C ls "$work/unpacked")" = "$folder" ] &&
   [ "$(LC_ALL=C ls "$work/unpacked/$folder" | tr '\n' ' ' | sed 's/ $//')" = "$package_files" ]; then
  pass "driver package $(basename "$archive"): one folder with $package_files"
else
  tail -n 20 "$work/cpack.log"
  fail "driver package" "no archive of one folder with $package_files: $(ls -R "$work/unpacked" 2>/dev/null | tr '\n' ' ')"
fi
package=$work/unpacked/$folder
plugin=$package/tvzx_ps.dll
notify=$package/tvzx_n.dll
base=$package/tvzx.dll
tool=$package/tvzx.exe
ppd=$package/tvzx.ppd
# System libraries every Windows installation has; anything else (the GCC,
# C++ or thread run-time DLLs) would have to ship with the plug-in.
system_dlls='^(KERNEL32|ADVAPI32|WINSPOOL\.DRV|WS2_32|USER32|OLE32|SHELL32|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+)(\.dll)?$'

# Returns the names a module exports, one a line, sorted.
exports_of() { "$objdump" -p "$1" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -En 's/^\s*\[\s*[0-9]+\]\s+(\S+)$/\1/p' | sort; }
# Returns the DLLs a module imports from, one a line.
imports_of() { "$objdump" -p "$1" | sed -En 's/^\s*DLL Name: (\S+)$/\1/p'; }

# Each module exports exactly its entry points.
check_exports() {
  local module=$1 expected=$2 actual
  actual=$(exports_of "$module" | tr '\n' ' ' | sed 's/ $//')
  if [ "$actual" = "$expected" ]; then pass "exports of $(basename "$module")"
  else fail "exports of $(basename "$module")" "has: $actual; wants: $expected"; fi
}
check_exports "$plugin" "CreateTabFileExW DllCanUnloadNow DllGetClassObject"
check_exports "$notify" "BdcSetNotifyPrint"
[ -f "$base" ] && check_exports "$base" "CreateTabDocument"

# Each shipped file needs nothing but the system's own DLLs.
for module in "$plugin" "$notify" "$base" "$tool"; do
  [ -f "$module" ] || continue
  foreign=$(imports_of "$module" | grep -Eiv "$system_dlls" | tr '\n' ' ')
  if [ -z "$foreign" ]; then pass "imports of $(basename "$module")"
  else fail "imports of $(basename "$module")" "needs $foreign"; fi
done

# A fresh prefix, quiet and without a display; no Gecko or Mono prompts.
export WINEPREFIX=${WINEPREFIX:-$windows/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
if [ -f "$WINEPREFIX/system.reg" ]; then pass "wine prefix"; else fail "wine prefix" "wineboot made none"; rm -rf "$work"; summary; exit; fi
# Both builds render for the same locale: the Linux build in the C locale,
# whose paper is A4 (9), and the Windows user with the same paper size.
export LC_ALL=C
wine reg add 'HKCU\Control Panel\International' /v iPaperSize /t REG_SZ /d 9 /f >/dev/null 2>&1

# The unit tests of the Windows build; each test counts. Left out: tests
# whose fake paths are written with POSIX separators, and the PPD
# conformance test, whose checker is a program of CUPS on Linux.
windows_only_filter='-WorkingDirectory.CandidateOrderBySystemAndPrinterPassingOverMissingOrTooLongOnes'
windows_only_filter+=':WriteTest.TriesTheFirstUnusedScratchName'
windows_only_filter+=':ShippedPpd.PassesTheCupsConformanceTest'
if [ -f "$tests" ]; then
  log=$(mktemp)
  (cd "$windows" && timeout 900 wine "$tests" --gtest_brief=1 --gtest_filter="$windows_only_filter") >"$log" 2>&1
  status=$?
  ran=$(sed -En 's/^\[==========\] ([0-9]+) tests? from .* ran\..*/\1/p' "$log" | tail -n 1)
  good=$(sed -En 's/^\[  PASSED  \] ([0-9]+) tests?\..*/\1/p' "$log" | tail -n 1)
  skipped=$(sed -En 's/^\[  SKIPPED \] ([0-9]+) tests?,?.*/\1/p' "$log" | head -n 1)
  skipped=${skipped:-0}
  if [ -z "$ran" ] || [ -z "$good" ]; then
    tail -n 40 "$log"
    fail "Windows unit tests" "no result, status $status"
  else
    bad=$((ran - good - skipped))
    if [ "$bad" -gt 0 ] || [ "$status" -ne 0 ]; then grep -E -B8 '^\[  FAILED  \]' "$log" | head -n 80; fi
    echo "check Windows unit tests: $good passed, $bad failed, $skipped skipped"
    passed=$((passed + good))
    failed=$((failed + bad))
    # A crash after the last test still fails the run.
    [ "$bad" -eq 0 ] && [ "$status" -ne 0 ] && fail "Windows unit tests" "status $status"
  fi
  rm -f "$log"
fi

# The values that differ from run to run, each masked by name: the job
# identity, made of the time of the job and a random part.
mask() {
  sed -E -e 's/^(@PJL SET DRIVERJOBID=")[0-9A-F]+(")/\1<job identity>\2/' "$1"
}
echo "masked in the compared streams: the job identity (@PJL SET DRIVERJOBID)"

# The package's INF through Wine's setup API, each check counted, then its
# driver added to the spooler from the package's files. Wine runs no
# printer class installer and has neither NTPRINT.INF nor the system's
# PostScript driver: the checker adds the driver the INF describes with
# Wine's PostScript driver in that driver's place.
inf_check=$windows/tools/inf_check/tvzx_inf_check.exe
driver=$(sed -En 's/^\*NickName: "(.*)"\r?$/\1/p' "$ppd" 2>/dev/null)
if [ -f "$inf_check" ]; then
  wine "$inf_check" "$(winepath -w "$package")" --version "$version" --install >"$work/inf_check.log" 2>&1
  while IFS= read -r line; do
    case "$line" in
      ok:*) pass "package: ${line#ok: }" ;;
      FAILED:*) line=${line#FAILED: }; fail "package: ${line% (*}" "${line##* (}" ;;
    esac
  done < <(tr -d '\r' <"$work/inf_check.log")
  grep -Eq '^(ok|FAILED):' "$work/inf_check.log" || fail "package checker" "$(head -n 3 "$work/inf_check.log")"
else
  fail "package checker" "no $inf_check"
fi

# The sample printer in the prefix's spooler, as an administrator sets it
# up: the package's driver, the port FILE: and the printer data of
# data/sample_printer.reg. The tab sample prints through it, so the plug-in
# and its tab worker read that data through the real spooler (its
# DefaultDuplex sets the job's duplex: an equal stream shows it came).
printer_tool=$windows/tools/wine_printer/tvzx_wine_printer.exe
printer_name=$(sed -En 's/^\[.*\\Printers\\(.*)\\PrinterDriverData\]\r?$/\1/p' data/sample_printer.reg)
if [ -f "$printer_tool" ] &&
   added=$(wine "$printer_tool" "$(winepath -w data/sample_printer.reg)" "$(winepath -w "$ppd")" "$driver" 2>&1 | tr -d '\r'); then
  pass "spooler printer: $added"
else
  fail "spooler printer" "${added:-no $printer_tool}"
fi

# Every built-in sample job, rendered by both builds as the same user: the
# one running them, whom Wine gives to Windows programs as well. The
# package's folder holds the modules side by side with the driver's PPD,
# where the base module that prints the tab documents finds both.
# The tab sample's Windows run: each of its three tab sheets spliced in, and
# each printed by a worker that the system's rundll32.exe ran on the
# plug-in's CreateTabFileExW (a worker thread would start no process).
check_tab_job() {
  local stream=$1 trace=$2 sheets workers
  sheets=$(grep -ac '^userdict /TARVOZXSAVE TVZXFeatures length dict put' "$stream")
  if [ "$sheets" -eq 3 ] && grep -aq '^%%Title: Inserted Tab before 2' "$stream" &&
     grep -aq '^%%Title: Printed Tab on 3' "$stream" && grep -aq '^%%Title: Tab after Document 4' "$stream"; then
    pass "tab sample: 3 tab sheets"
  else
    fail "tab sample" "$sheets tab sheets, 3 wanted"
  fi
  # Each start asked for rundll32.exe on the plug-in's export, and each
  # made a process (the trace names its process id).
  asked=$(grep -Eic ':process:CreateProcessInternalW app L".*\\rundll32\.exe" cmdline .*tvzx_ps\.dll,CreateTabFileEx ' "$trace")
  made=$(grep -Eic ':process:NtCreateUserProcess .*\\rundll32\.exe" pid [0-9a-f]+ ' "$trace")
  if [ "$asked" -eq 3 ] && [ "$made" -eq 3 ]; then pass "tab sample: 3 workers ran as rundll32.exe processes"
  else fail "tab sample" "$asked rundll32.exe starts asked for and $made made, 3 wanted"; fi
}

samples=$("$linux/tools/tvzx/tvzx" render --sample '?' 2>&1 | sed -En 's/.*no such sample job \((.*)\).*/\1/p' | tr -d ',')
for sample in ${samples:-plain}; do
  linux_out=$work/$sample.linux.prn
  windows_out=$work/$sample.windows.prn
  if ! "$linux/tools/tvzx/tvzx" render --sample "$sample" -o "$linux_out" 2>"$work/err"; then
    fail "sample $sample" "the Linux build refused it: $(head -n 1 "$work/err")"
    continue
  fi
  # The process channel traces every process a job starts, the tab
  # worker's among them.
  if ! (cd "$work" && WINEDEBUG=-all,+process timeout 300 wine "$tool" render --sample "$sample" \
          --module "$(winepath -w "$plugin")" -o "$(winepath -w "$windows_out")") 2>"$work/err"; then
    fail "sample $sample" "the Windows build refused it: $(grep -v ':process:' "$work/err" | head -n 1)"
    continue
  fi
  if [ "$sample" = tabs ]; then check_tab_job "$windows_out" "$work/err"; fi
  if cmp -s <(mask "$linux_out") <(mask "$windows_out"); then
    pass "sample $sample, $(stat -c %s "$windows_out") bytes as on Linux"
  else
    diff <(mask "$linux_out" | cat -v) <(mask "$windows_out" | cat -v) | head -n 20
    fail "sample $sample" "the streams differ"
  fi
done
# The package's language file deciphers on Windows: its first language's
# own name, and English where it has no text.
native=$(wine "$tool" text L10N_OPT_LANGUAGE_NATIVE --lang 9 --lng "$(winepath -w "$package/tvzx.lng")" 2>&1 | tr -d '\r')
untranslated=$(wine "$tool" text L10N_LBL_PAGESIZE --lang 9 --lng "$(winepath -w "$package/tvzx.lng")" 2>&1 | tr -d '\r')
if [ "$native" = "Português" ] && [ "$untranslated" = "$("$linux/tools/tvzx/tvzx" text L10N_LBL_PAGESIZE --lang 0)" ]; then
  pass "language file of the package read by the Windows tool"
else
  fail "language file of the package" "language 9 is '$native', an untranslated text '$untranslated'"
fi
# The printer's data set by the package's tool through the spooler (the
# values the driver's user interface would write), then the next job on
# that printer: it must follow them as the Linux build's job does with the
# same values set in its printer data file, and differ from the job before.
# Both tools take the file for their own edit rules; the Windows plug-in
# reads the printer's data through the spooler alone.
changes=(--set DefaultDuplex=False --set InstalledOption.Stapler=False)
shown=$(wine "$tool" printer-data --printer "$printer_name" "${changes[@]}" --show 2>&1 | tr -d '\r')
if grep -qx 'DefaultDuplex=False' <<<"$shown" && grep -qx 'InstalledOption.Stapler=False' <<<"$shown"; then
  pass "printer data set through the spooler"
else
  fail "printer data set through the spooler" "$(head -n 3 <<<"$shown")"
fi
linux_after=$work/tabs-after.linux.prn
windows_after=$work/tabs-after.windows.prn
if "$linux/tools/tvzx/tvzx" printer-data --printer "$printer_name" --printer-data "$work/after.reg" \
     --import data/sample_printer.reg "${changes[@]}" >/dev/null 2>"$work/err" &&
   "$linux/tools/tvzx/tvzx" render --sample tabs --printer-data "$work/after.reg" -o "$linux_after" 2>>"$work/err" &&
   (cd "$work" && timeout 300 wine "$tool" render --sample tabs --module "$(winepath -w "$plugin")" \
      --printer-data "$(winepath -w "$work/after.reg")" -o "$(winepath -w "$windows_after")") 2>>"$work/err" &&
   cmp -s <(mask "$linux_after") <(mask "$windows_after") &&
   ! cmp -s <(mask "$windows_after") <(mask "$work/tabs.windows.prn"); then
  pass "the next job follows the new printer data, $(stat -c %s "$windows_after") bytes as on Linux"
else
  diff <(mask "$linux_after" | cat -v) <(mask "$windows_after" | cat -v) 2>/dev/null | head -n 20
  fail "the next job follows the new printer data" "$(grep -v ':process:' "$work/err" | head -n 1)"
fi
rm -rf "$work"

summary

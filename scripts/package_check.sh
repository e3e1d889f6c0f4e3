#!/usr/bin/env bash
# package_check.sh [BUILD]: proves the Debian package where it is installed.
# Builds the package in the build folder (cpack -G DEB), checks it with
# lintian (no error), installs it on this machine and then, with the source
# and build folders covered by an empty file system in a mount namespace of
# its own, from a temporary folder and with a clean environment, proves the
# installed files alone: every installed program starts, every installed
# module loads, every library the loader finds for them is a file of an
# installed Debian package, the only run path is the package's library
# folder, every built-in sample job printed by /usr/bin/tvzx equals the
# build's, and the CUPS scheduler check passes with the installed filter and
# PPD. Last it purges the package and checks that nothing of it is left.
# Installing needs root: CI runs as root on a machine of its own. The last
# line is "package checks: N passed, N failed, N skipped".
set -uo pipefail
script=$(realpath "$0")
cd "$(dirname "$0")/.."
tree=$PWD
build=$(realpath "${1:-build}")
source scripts/packages.sh
bash scripts/ensure_packages.sh "${PACKAGE_PACKAGES[@]}" >&2 || true

package=tvzx
# The package's own library folder: the one run path its files may have.
library_folder=/usr/lib/tvzx
# How each program the package installs shows that it starts: its path,
# arguments, exit status and a pattern its first output line matches. A
# program the package gains joins here; an installed program missing here
# fails the check. Modules (shared objects) are found and loaded on their own.
version=$(sed -nE 's/^CMAKE_PROJECT_VERSION:STATIC=(.*)$/\1/p' "$build/CMakeCache.txt" 2>/dev/null)
programs=(
  "/usr/bin/tvzx|version|0|^${version//./\\.}:0x[0-9A-F]{8}$"
  "/usr/lib/cups/filter/pstotvzx||1|^Usage: pstotvzx job-id user title copies options \[file\]$"
  "/usr/lib/tvzx/tvzx_rundll||2|^usage: tvzx_rundll MODULE,ENTRY"
  "/usr/bin/tvzx-printer-app|--version|0|^${version//./\\.}$"
)
# Modules are loaded by the package's export runner, asked for an export no
# module has: its answer shows the module and everything it needs loaded.
runner=/usr/lib/tvzx/tvzx_rundll
absent_export=PackageCheckAbsent

passed=0
failed=0
skipped=0
pass() { echo "package check $1: ok"; passed=$((passed + 1)); }
fail() { echo "package check $1: FAILED${2:+ ($2)}"; failed=$((failed + 1)); }
finish() { echo "package checks: $passed passed, $failed failed, $skipped skipped"; }

# Installing into /usr needs root. Elsewhere the check is skipped; CI runs
# as root and must prove it.
cannot_run() {
  echo "package check: $1"
  if [ "${CI:-}" = true ]; then fail setup "$1"; else skipped=$((skipped + 1)); fi
  finish
  exit 0
}
[ "$(id -u)" -eq 0 ] || cannot_run "needs root to install the package"
[ -n "$version" ] || cannot_run "$build is no configured build folder"

# Everything runs in a mount namespace of its own, where the source and
# build folders can be covered without anyone else seeing it.
if [ -z "${TVZX_PACKAGE_NAMESPACE:-}" ]; then
  if unshare --mount true 2>/dev/null; then
    TVZX_PACKAGE_NAMESPACE=1 exec unshare --mount --propagation private -- bash "$script" "$@"
  fi
  cannot_run "cannot make a private mount namespace (unshare --mount)"
fi

# One package check at a time on a machine: they install the same package.
exec 9>/var/lock/tvzx-package-check.lock
flock -w 3600 9 || cannot_run "another package check holds /var/lock/tvzx-package-check.lock"
# A package installed by someone else is not this check's to replace.
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
  fail setup "$package is installed already: purge it first (apt-get purge -y $package)"
  finish
  exit 0
fi

# The folder the checks run in is outside the source and build folders,
# which will be covered.
work=$(mktemp -d /tmp/tvzx-package.XXXXXX)
mkdir -p "$work/run" "$work/home" "$work/tmp" "$work/reference" "$work/installed" "$work/tree"
installed=""
cleanup() {
  if [ -n "$installed" ]; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq -o DPkg::Lock::Timeout=600 "$package" >/dev/null 2>&1
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# Runs a program with a clean environment from the temporary folder.
clean() {
  (cd "$work/run" && env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME="$work/home" TMPDIR="$work/tmp" LANG=C.UTF-8 "$@")
}

# The package, from the build as it is now.
deb=$build/${package}_${version}_amd64.deb
rm -f "$deb"
if cmake --build "$build" >"$work/build.log" 2>&1 && (cd "$build" && cpack -G DEB) >"$work/cpack.log" 2>&1 && [ -f "$deb" ]; then
  pass "built $(basename "$deb")"
else
  tail -n 20 "$work/build.log" "$work/cpack.log"
  fail built "no $deb"
  finish
  exit 0
fi

# lintian: no error; its warnings are shown.
# A status other than 0 without an error line means it could not run.
lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1
status=$?
grep -E '^[EW]: ' "$work/lintian.log"
errors=$(grep -cE '^E: ' "$work/lintian.log")
warnings=$(grep -cE '^W: ' "$work/lintian.log")
if [ "$status" -eq 0 ] && [ "$errors" -eq 0 ]; then
  pass "lintian: no error, $warnings warnings"
else
  [ "$errors" -eq 0 ] && tail -n 5 "$work/lintian.log"
  fail lintian "status $status, $errors errors"
fi

# The streams the build prints, to compare the installed package's with;
# the job identity, made of the time and a random part, differs from run to
# run and is masked.
mask() { sed -E -e 's/^(@PJL SET DRIVERJOBID=")[0-9A-F]+(")/\1<job identity>\2/' "$1"; }
samples=$(clean "$build/tools/tvzx/tvzx" render --sample '?' 2>&1 | sed -En 's/.*no such sample job \((.*)\).*/\1/p' | tr -d ',')
for sample in ${samples:-plain}; do
  clean "$build/tools/tvzx/tvzx" render --sample "$sample" -o "$work/reference/$sample.prn" 2>/dev/null ||
    rm -f "$work/reference/$sample.prn"
done
# The scheduler check and what it reads, copied out before the folders
# are covered.
mkdir -p "$work/tree/bench"
cp -r scripts "$work/tree/"
cp bench/*.sh "$work/tree/bench/"

if DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=600 \
     "$deb" >"$work/install.log" 2>&1; then
  installed=1
  pass installed
else
  cat "$work/install.log"
  fail installed "apt-get install refused the package"
  finish
  exit 0
fi
dpkg-query -L "$package" | sort >"$work/files"

# The source and build folders covered: nothing of them can be found from
# here on, whatever path a program might hold.
cd "$work/run"
covered=ok
for folder in "$tree" "$build"; do
  if [ -d "$folder" ] && ! mount -t tmpfs -o size=1m,mode=0755 tvzx-covered "$folder"; then covered="cannot cover $folder"; fi
done
if [ "$covered" = ok ] && [ ! -e "$build/CMakeCache.txt" ] && [ ! -e "$tree/scripts/package_check.sh" ]; then
  pass "source and build folders covered"
else
  fail "source and build folders covered" "$covered"
fi

# Every installed ELF file: its run path is the package's library folder
# or none, and every library the loader finds for it belongs to an installed
# Debian package.
elf_files=()
while read -r file; do
  [ -f "$file" ] && [ ! -L "$file" ] && [ "$(head -c 4 "$file" | od -An -tx1 | tr -d ' \n')" = 7f454c46 ] && elf_files+=("$file")
done <"$work/files"
for file in "${elf_files[@]}"; do
  paths=$(readelf -d "$file" | sed -nE 's/.*\((RPATH|RUNPATH)\).*\[(.*)\]$/\2/p' | tr ':' '\n' | grep -vxF "$library_folder" | tr '\n' ' ')
  resolved=$(clean ldd "$file" 2>&1)
  missing=$(grep -E 'not found|not a dynamic' <<<"$resolved" | tr -s ' \t\n' ' ')
  strangers=""
  for library in $(grep -oE '/[^ ]+' <<<"$resolved" | grep -v '^/proc'); do
    dpkg-query -S "$library" >/dev/null 2>&1 || dpkg-query -S "$(realpath "$library")" >/dev/null 2>&1 ||
      strangers+="$library "
  done
  if [ -n "$paths" ]; then fail "libraries of $file" "run path $paths"
  elif [ -n "$missing" ]; then fail "libraries of $file" "$missing"
  elif [ -n "$strangers" ]; then fail "libraries of $file" "of no package: $strangers"
  else pass "libraries of $file"
  fi
done

# Every installed program starts; every installed module loads.
for file in "${elf_files[@]}"; do
  if ! readelf -l "$file" | grep -q 'Requesting program interpreter'; then
    output=$(clean "$runner" "$file,$absent_export" 2>&1)
    if grep -qF "no export ${absent_export}W" <<<"$output"; then pass "loads $file"; else fail "loads $file" "$output"; fi
    continue
  fi
  row=$(printf '%s\n' "${programs[@]}" | grep -F "$file|" | head -n 1)
  if [ -z "$row" ]; then
    fail "starts $file" "no start check: add it to programs in scripts/package_check.sh"
    continue
  fi
  IFS='|' read -r _ arguments status pattern <<<"$row"
  # shellcheck disable=SC2086
  output=$(clean "$file" $arguments 2>&1)
  code=$?
  if [ "$code" -eq "$status" ] && head -n 1 <<<"$output" | grep -qE "$pattern"; then
    pass "starts $file"
  else
    fail "starts $file" "status $code: $(head -n 1 <<<"$output")"
  fi
done

# The installed package, its changelog and its tool name one version.
tool_version=$(clean /usr/bin/tvzx version 2>/dev/null | cut -d: -f1)
changelog_version=$(zcat "/usr/share/doc/$package/changelog.gz" 2>/dev/null | sed -nE "1s/^$package \(([^)]*)\).*/\1/p")
package_version=$(dpkg-query -W -f='${Version}' "$package")
if [ "$tool_version" = "$version" ] && [ "$changelog_version" = "$version" ] && [ "$package_version" = "$version" ]; then
  pass "version $version everywhere"
else
  fail version "build $version, package $package_version, changelog $changelog_version, tool $tool_version"
fi

# Every built-in sample job printed by the installed tool and modules (the
# tab sample through the installed export runner and base module) equals
# the build's.
for sample in ${samples:-plain}; do
  if [ ! -s "$work/reference/$sample.prn" ]; then
    fail "sample $sample" "the build did not print it"
  elif ! clean /usr/bin/tvzx render --sample "$sample" -o "$work/installed/$sample.prn" 2>"$work/render.err"; then
    fail "sample $sample" "$(head -n 1 "$work/render.err")"
  elif cmp -s <(mask "$work/reference/$sample.prn") <(mask "$work/installed/$sample.prn"); then
    pass "sample $sample, $(stat -c %s "$work/installed/$sample.prn") bytes as from the build"
  else
    diff <(mask "$work/reference/$sample.prn" | cat -v) <(mask "$work/installed/$sample.prn" | cat -v) | head -n 20
    fail "sample $sample" "the streams differ"
  fi
done

# The scheduler check with the installed filter and PPD; each of its checks
# counts here.
clean CI="${CI:-}" bash "$work/tree/scripts/cups_check.sh" --installed >"$work/cups.log" 2>&1
cat "$work/cups.log"
line=$(grep -E '^cups checks: [0-9]+ passed, [0-9]+ failed$' "$work/cups.log" | tail -n 1)
if [ -n "$line" ]; then
  passed=$((passed + $(sed -E 's/^cups checks: ([0-9]+) passed.*/\1/' <<<"$line")))
  failed=$((failed + $(sed -E 's/.* ([0-9]+) failed$/\1/' <<<"$line")))
else
  fail "cups checks" "no result"
fi

# Purged, nothing of the package is left.
if DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq -o DPkg::Lock::Timeout=600 "$package" >"$work/purge.log" 2>&1; then
  installed=""
  left=$(while read -r file; do [ -f "$file" ] || [ -L "$file" ] && echo "$file"; done <"$work/files"
         for folder in "$library_folder" "/usr/share/ppd/$package" "/usr/share/doc/$package"; do [ -e "$folder" ] && echo "$folder"; done)
  # dpkg forgets a purged package, or knows it as not installed.
  if dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -qv 'not-installed$' || [ -n "$left" ]; then
    fail purged "left: $(tr '\n' ' ' <<<"$left")"
  else
    pass purged
  fi
else
  cat "$work/purge.log"
  fail purged "apt-get purge refused"
fi
finish

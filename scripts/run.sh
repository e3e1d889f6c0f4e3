#!/usr/bin/env bash
# The main job on built-in defaults: builds what is missing, then runs it.
# Extra arguments go to the command. Without a document among them the
# built-in sample prints, also when standard input is no terminal (a pipe,
# /dev/null, a CI runner); "-" prints the document on standard input.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
bash scripts/ensure_packages.sh "${BUILD_PACKAGES[@]}"
if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build build --target tvzx tvzx_ps tvzx_notify >/dev/null

# Looks for a document (or --sample) among the arguments, passing over the
# values of the options that take one.
names_input=false
expects_value=false
for word in "$@"; do
  if $expects_value; then
    expects_value=false
    continue
  fi
  case $word in
    -o | --user | --document | --job-id | --module | --printer | --preview | --set | --settings | --printer-data)
      expects_value=true ;;
    --sample) names_input=true; expects_value=true ;;
    -) names_input=true ;;
    -*) ;;
    *) names_input=true ;;
  esac
done
if $names_input; then
  exec build/tools/tvzx/tvzx render "$@"
fi
exec build/tools/tvzx/tvzx render --sample plain "$@"

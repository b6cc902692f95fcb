#!/usr/bin/env bash
# Installs the build tree into a fresh prefix, lists what was installed and
# checks that the installed programs run and find the installed plug-ins.
# usage: install_test.sh BUILD_DIR WORK_DIR
set -euo pipefail
build="$1"
work="$2"
rm -rf "$work"
mkdir -p "$work"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log"

echo "Installed files:"
(cd "$prefix" && find . -type f -o -type l | sort | tee "$work/files.txt")

fail=0
expect() {
  if ! grep -qx "./$1" "$work/files.txt"; then
    echo "missing: $1"
    fail=1
  fi
}
expect bin/orvex-run
expect share/applications/orvex.desktop
expect share/icons/hicolor/scalable/apps/orvex.svg
expect share/mime/packages/orvex.xml
expect share/man/man1/orvex-run.1
expect include/orvex/orvex_plugin.h
plugins=$(grep -E '^\./lib[^ ]*/orvex/scripted_pad\.so$' "$work/files.txt" || true)
[ -n "$plugins" ] || { echo "missing: lib*/orvex/scripted_pad.so"; fail=1; }
if [ -x "$build/tools/orvex" ]; then
  expect bin/orvex
  grep -qE '^\./lib[^ ]*/orvex/keyboard_pad\.so$' "$work/files.txt" ||
    { echo "missing: keyboard_pad.so"; fail=1; }
  "$prefix/bin/orvex" --version | grep -q '^orvex ' || { echo "orvex --version failed"; fail=1; }
fi
# Nothing of the tests is installed.
if grep -qE 'test|good_pad' "$work/files.txt"; then
  echo "test files were installed"
  fail=1
fi

desktop="$prefix/share/applications/orvex.desktop"
for line in 'Exec=orvex %f' 'Categories=Game;Emulator;' 'MimeType=application/x-n64-rom;' 'Icon=orvex'; do
  grep -qxF "$line" "$desktop" || { echo "orvex.desktop lacks: $line"; fail=1; }
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail=1
fi

# The installed runner finds the installed scripted pad by itself.
"$prefix/bin/orvex-run" --version | grep -q '^orvex-run ' || { echo "orvex-run --version failed"; fail=1; }
printf '1000 0 0\n' >"$work/pad.txt"
(cd "$work" && env -u ORVEX_SCRIPTED_PAD "$prefix/bin/orvex-run" --frames 3 --input pad.txt \
  >"$work/run.txt" 2>&1) || { echo "the installed orvex-run failed:"; cat "$work/run.txt"; fail=1; }
exit $fail

#!/usr/bin/env bash
# End-to-end run of orvex on a virtual X server: a prepared working directory
# with orvex.ini and the demo ROM, the ROM opened by a double click in the
# tree, screenshots of both windows, and a check that the output window shows
# the demo's picture.
#   orvex_xvfb_test.sh ORVEX DEMO_ROM OUT_DIR
# Exits 77 (skipped) when the X tools are missing.
set -euo pipefail
orvex="$1" demo="$2" out="$3"

for tool in xvfb-run xdotool import convert; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (scripts/bootstrap installs it)"
    exit 77
  fi
done

rm -rf "$out"
mkdir -p "$out/work/roms" "$out/config/Orvex"
cp "$demo" "$out/work/roms/demo.z64"
printf '[Orvex Settings]\r\ndirPath01=%s\r\ndirDesc01=Demo ROMs\r\nlogDir=%s\r\n' \
  "$out/work/roms" "$out" > "$out/work/orvex.ini"
# Both windows side by side: the main window at the top left, the output
# window to its right.
cat > "$out/config/Orvex/Orvex.conf" <<'CONF'
[General]
Main%20Window%20Left=dword:00000000
Main%20Window%20Top=dword:00000000
Output%20Window%20Left=dword:00000264
Output%20Window%20Top=dword:00000000
CONF

cat > "$out/session.sh" <<SESSION
#!/usr/bin/env bash
set -u
export XDG_CONFIG_HOME="$out/config" SDL_AUDIODRIVER=dummy
cd "$out/work"
"$orvex" > "$out/orvex.log" 2>&1 &
pid=\$!
sleep 3
# The ROM is the second row of the tree, below its directory.
xdotool mousemove 100 46 click --repeat 2 --delay 100 1
sleep 4
xdotool search --name '^ORVEX DEMO\$' > "$out/output-window.txt" || true
import -window root "$out/screen.png"
kill \$pid
wait \$pid || true
SESSION
chmod +x "$out/session.sh"
timeout 120 xvfb-run -a -s "-screen 0 960x460x24" "$out/session.sh"

convert "$out/screen.png" -crop 600x440+0+0 +repage "$out/main_window.png"
convert "$out/screen.png" -crop 320x240+612+0 +repage "$out/output_window.png"

if [ ! -s "$out/output-window.txt" ]; then
  echo "FAIL: no output window titled ORVEX DEMO appeared"; cat "$out/orvex.log"; exit 1
fi
# The demo's gradient, band and sprite: far from a black window.
mean="$(convert "$out/output_window.png" -colorspace Gray -format '%[fx:mean]' info:)"
echo "output window mean brightness: $mean"
if ! awk -v m="$mean" 'BEGIN { exit !(m > 0.15) }'; then
  echo "FAIL: the output window shows no picture"; exit 1
fi
if [ ! -s "$out/ORVEX DEMO.main.log" ]; then
  echo "FAIL: the run wrote no log"; exit 1
fi
echo "screenshots: $out/screen.png $out/main_window.png $out/output_window.png"

#!/usr/bin/env bash
# The report page in a real browser: hxprops writes it for the default case; it fetches nothing
# (no script, style sheet, frame, image or font from elsewhere); headless chromium loads it without a
# console message and takes a screenshot, in which both composite curves show (pixels of their hues).
#   bash report_page_in_browser.sh HXPROPS
set -euo pipefail
hxprops=$(realpath "$1")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
"$hxprops" --compare-methods --html report.html >/dev/null
if grep -Eiq '<script|<link|<iframe|<img|<object|src=|url\(|@import' report.html; then
  echo "the page refers to something outside itself"; exit 1
fi
DBUS_SESSION_BUS_ADDRESS=disabled: timeout 120 chromium --headless --no-sandbox --disable-gpu --enable-logging=stderr --v=0 \
  --window-size=1000,900 --force-device-scale-factor=0.5 --screenshot="$dir/shot.png" "file://$dir/report.html" 2>browser.log >/dev/null
if grep CONSOLE browser.log; then echo "console messages"; exit 1; fi
python3 - shot.png <<'EOF'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
width, height, depth, kind = struct.unpack('>IIBB', data[16:26])
assert depth == 8 and kind in (2, 6), (depth, kind)
idat, at = b'', 8
while at < len(data):
    n, tag = struct.unpack('>I4s', data[at:at + 8])
    idat += data[at + 8:at + 8 + n] if tag == b'IDAT' else b''
    at += 12 + n
raw, bpp = zlib.decompress(idat), 3 if kind == 2 else 4
stride, rows, prev = width * bpp, [], bytearray(width * bpp)
for y in range(height):
    f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
    for i in range(stride):
        a, b, c = line[i - bpp] if i >= bpp else 0, prev[i], prev[i - bpp] if i >= bpp else 0
        p = a + b - c
        pred = [0, a, b, (a + b) // 2, a if abs(p - a) <= min(abs(p - b), abs(p - c)) else b if abs(p - b) <= abs(p - c) else c][f]
        line[i] = (line[i] + pred) & 255
    rows.append(line)
    prev = line
def count(hue):  # pixels where the curve's colour dominates: red for the hot side, blue for the cold
    return sum(1 for line in rows for i in range(0, stride, bpp) if hue(line[i], line[i + 1], line[i + 2]))
hot, cold = count(lambda r, g, b: r > g + 50 and r > b + 50), count(lambda r, g, b: b > r + 50 and b > g + 20)
print(f'screenshot {width}x{height}: {hot} pixels of the hot curve, {cold} of the cold one')
assert hot > 200 and cold > 200
EOF

#!/bin/sh
# zelm-find --report opened in headless Chromium: the page of three hand-built features (one with MS/MS only, one with
# an MS1 and an MS/MS spectrum, one mass with neither) has one section per feature and one picture per spectrum drawn,
# no markup from the input's text, a working search box and column sorting, and no request beyond the file itself.
# Leaves its screenshot, report.png, in the work folder.
# Usage: report_in_browser.sh ZELM_FIND WORK_FOLDER. Exits 77 (skipped) when Chromium is not installed.
set -eu
find=$1
work=$2
chromium=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$chromium" ]; then
  echo "Chromium is not installed: skipped"
  exit 77
fi
rm -rf "$work"
mkdir -p "$work"
cd "$work"
fail() {
  echo "FAIL: $*"
  exit 1
}

cat > features.mgf <<'MGF'
BEGIN IONS
FEATURE_ID=msms-only
PEPMASS=181.0707
CHARGE=1+
ADDUCT=[M+H]+
MSLEVEL=2
163.0601 300
145.0495 200
85.0284 500
END IONS
BEGIN IONS
FEATURE_ID=both<img src=http://example.invalid/x.png>
PEPMASS=195.0877
CHARGE=1+
ADDUCT=[M+H]+
MSLEVEL=1
195.0877 1000
196.0910 105
197.0920 8
END IONS
BEGIN IONS
FEATURE_ID=both<img src=http://example.invalid/x.png>
PEPMASS=195.0877
CHARGE=1+
ADDUCT=[M+H]+
MSLEVEL=2
110.0713 50
138.0662 1000
163.0502 20
END IONS
MGF
"$find" 150.0550 --input features.mgf --ppm 10 -q -o table.tsv --report report.html || fail "zelm-find failed"

url="file://$work/report.html"
browse() {
  "$chromium" --headless --no-sandbox --disable-gpu --disable-background-networking --disable-component-update \
    --no-first-run --user-data-dir="$work/profile" "$@" 2>>chromium.log
}
browse --dump-dom "$url" > dom.html || fail "chromium --dump-dom failed (chromium.log)"
browse --log-net-log="$work/net.json" --screenshot="$work/report.png" --window-size=1280,2000 "$url" ||
  fail "chromium --screenshot failed (chromium.log)"

count() { grep -o "$1" dom.html | wc -l; }
[ "$(count '<section ')" -eq 3 ] || fail "$(count '<section ') sections, not one per feature (3)"
[ "$(count '<svg ')" -eq 3 ] || fail "$(count '<svg ') pictures, not 3 (MS1 and MS/MS, MS/MS, none)"
grep -q '<input' dom.html || fail "no search box: the page's script did not run"
if grep -q '<img' dom.html; then fail "a feature's id became markup"; fi
[ -s report.png ] || fail "no screenshot"

# The sorting and the search box driven as a reader would: two clicks on the head of the candidates' column sort the
# rows by it, falling; then a formula typed without subscripts keeps exactly the rows that show it.
cat report.html - > driven.html <<'JS'
<script>
const rows = () => [...document.querySelectorAll('#sum tbody tr')];
const head = document.querySelectorAll('#sum th')[7];
head.click();
head.click();
const n = rows().map(r => Number(r.cells[7].textContent));
const sorted = n.every((x, i) => i === 0 || n[i - 1] >= x);
const q = document.querySelector('input[type=search]');
q.value = 'C8H10N4O2';
q.oninput();
const want = rows().filter(r => r.textContent.includes('C\u2088H\u2081\u2080N\u2084O\u2082'));
const found = want.length > 0 && rows().every(r => r.hidden !== want.includes(r));
document.body.dataset.probe = (found ? 'search ok' : 'search wrong') + ', ' + (sorted ? 'sort ok' : 'sort wrong');
</script>
JS
browse --dump-dom "file://$work/driven.html" > driven-dom.html || fail "chromium failed"
grep -q 'data-probe="search ok, sort ok"' driven-dom.html ||
  fail "search and sort: $(grep -o 'data-probe="[^"]*"' driven-dom.html || echo 'the probe did not run')"

# The URLs the page asked for, from the net log: the browser's own requests (updates, time) have no origin, a
# page's have its origin (a file's is "null"). A file's own loading is not in the net log, so the page's links and
# sources are read from its DOM too.
page_requests() {
  /usr/bin/python3 - "$1" <<'PY'
import json, sys
log = json.load(open(sys.argv[1]))
start = log["constants"]["logEventTypes"]["URL_REQUEST_START_JOB"]
for e in log["events"]:
    p = e.get("params", {})
    if e["type"] == start and p.get("initiator", "not an origin") != "not an origin":
        print(p["url"])
PY
}
outside=$(page_requests net.json | grep -v -e '^data:' -e '^about:' || true)
[ -z "$outside" ] || fail "requests beyond the file: $outside"
links=$(grep -oE '(src|href)="[^"]*"' dom.html | grep -v -e '="#' -e '="data:' || true)
[ -z "$links" ] || fail "links or sources beyond the file: $links"
# The same check sees a page that does ask the network.
printf '<!DOCTYPE html><img src="http://example.invalid/x.png">' > control.html
browse --log-net-log="$work/control.json" --dump-dom "file://$work/control.html" >/dev/null || fail "chromium failed"
page_requests control.json | grep -qxF "http://example.invalid/x.png" || fail "the net log check misses a request"
echo "3 sections, 3 pictures, no request beyond the file; screenshot: $work/report.png"

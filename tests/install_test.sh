#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a system would
# get: every file in its place, the desktop entry and the metainfo valid and
# pointing at files that are there, each manual page rendering without a
# warning, the icons at their sizes, the service unit accepted by systemd,
# and --help / --version of each installed program.
# Arguments: BUILD_DIR VERSION PREFIX BINDIR SYSCONFDIR UNIT_DIR (all but the
# first two as the build was configured; BINDIR relative to PREFIX).
set -uo pipefail
build=$1 version=$2 prefix=$3 bindir=$4 sysconf=$5 unitdir=$6
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

DESTDIR="$dest" cmake --install "$build" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }
root="$dest$prefix"
share="$root/share"

# Every file in its place; the bench stays out.
for f in $bindir/zelbowin $bindir/zelbowin-server $bindir/zelbowin-robot \
         share/applications/zelbowin.desktop \
         share/icons/hicolor/scalable/apps/zelbowin.svg \
         share/metainfo/org.zelbowin.zelbowin.metainfo.xml \
         share/man/man6/zelbowin.6.gz share/man/man6/zelbowin-server.6.gz \
         share/man/man6/zelbowin-robot.6.gz \
         share/doc/zelbowin/README.md share/doc/zelbowin/copyright \
         share/doc/zelbowin/changelog.gz share/doc/zelbowin/docs/desktop.png; do
  [ -f "$root/$f" ] || fail "missing $prefix/$f"
done
[ -f "$dest$sysconf/zelbowin/example.conf" ] || fail "missing $sysconf/zelbowin/example.conf"
[ -f "$dest$unitdir/zelbowin-server@.service" ] || fail "missing $unitdir/zelbowin-server@.service"
[ ! -e "$root/$bindir/zelbowin-bench" ] || fail "the bench is installed"
for p in zelbowin zelbowin-server zelbowin-robot; do
  [ -x "$root/$bindir/$p" ] || fail "$p is not executable"
done

# Each PNG icon has the size its folder names (width and height at bytes 16..23).
for size in 16 24 32 48 64 128 256; do
  png="$share/icons/hicolor/${size}x${size}/apps/zelbowin.png"
  if [ ! -f "$png" ]; then fail "missing icon $size"; continue; fi
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
                  awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$w $h" = "$size $size" ] || fail "icon ${size}x${size} is ${w}x${h}"
done

# The desktop entry is valid, names an installed icon and program, no terminal.
desktop="$share/applications/zelbowin.desktop"
out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
grep -qx 'Categories=Game;CardGame;' "$desktop" || fail "desktop entry categories"
grep -qx 'Terminal=false' "$desktop" || fail "desktop entry opens a terminal"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "desktop icon $icon not installed"
exe=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ "$exe" = "$prefix/$bindir/zelbowin" ] && [ -x "$dest$exe" ] || fail "desktop Exec $exe"

# The metainfo is valid and launches the installed desktop entry.
metainfo="$share/metainfo/org.zelbowin.zelbowin.metainfo.xml"
out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli: $out"
launch=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
[ -f "$share/applications/$launch" ] || fail "metainfo launches $launch, not installed"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo release is not $version"
grep -q '<screenshot type="default">' "$metainfo" || fail "metainfo has no screenshot"

# Each manual page renders without a warning and names its program.
for p in zelbowin zelbowin-server zelbowin-robot; do
  page="$share/man/man6/$p.6.gz"
  text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>"$dest/man.err")
  [ $? -eq 0 ] && [ ! -s "$dest/man.err" ] || fail "man $p: $(cat "$dest/man.err")"
  grep -q "^       $p - " <<<"$text" || fail "man $p has no NAME line"
  grep -q "$version" <<<"$text" || fail "man $p does not show version $version"
done

# --help prints the usage, --version one line with the version; both exit 0.
for p in zelbowin zelbowin-server zelbowin-robot; do
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/$bindir/$p" --help 2>&1) || fail "$p --help exits non-zero"
  grep -q "^usage: $p" <<<"$out" || fail "$p --help: $out"
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/$bindir/$p" --version 2>&1) || fail "$p --version exits non-zero"
  [ "$out" = "$p $version" ] || fail "$p --version printed: $out"
done

# systemd accepts the unit (an instance of it, its program at the DESTDIR path).
if command -v systemd-analyze >/dev/null; then
  unit="$dest/zelbowin-server@2118.service"
  sed "s#$prefix/$bindir/#$root/$bindir/#" "$dest$unitdir/zelbowin-server@.service" >"$unit"
  grep -q "^ExecStart=$root/$bindir/zelbowin-server .*--resume" "$unit" || fail "unit ExecStart"
  out=$(systemd-analyze verify --man=no "$unit" 2>&1) && [ -z "$out" ] || fail "systemd-analyze: $out"
else
  fail "systemd-analyze is missing (package systemd)"
fi

[ $failures -eq 0 ] && echo "install test passed" || echo "$failures failure(s)"
[ $failures -eq 0 ]

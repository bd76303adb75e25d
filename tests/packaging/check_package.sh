#!/usr/bin/env bash
# Builds the Debian package from a built tree, checks its control data and contents,
# unpacks it into an empty root and starts the program from there the way the desktop
# menu does: with a fresh home folder, under Xvfb, with no locale.
# Usage: check_package.sh BUILD_DIR
set -uo pipefail

build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/lib.sh"

command -v cpack >/dev/null && command -v dpkg-deb >/dev/null || { echo "SKIP: no cpack or dpkg-deb"; exit 77; }

work=$(mktemp -d)
trap 'e2e_stop_app; e2e_stop_x; rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/out/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no .deb was made"
echo "package: $(basename "$deb")"

depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
for need in libqt6widgets6 libqt6printsupport6 libsqlcipher0 qt6-qpa-plugins qt6-translations-l10n fonts-arphic-uming; do
  grep -q "\b$need\b" <<<"$depends" || fail "Depends lacks $need"
done
grep -q -- '-dev\b' <<<"$depends" && fail "Depends names a development package"

contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for f in ./usr/bin/tessival ./usr/bin/tessival-db ./usr/bin/tessival-start \
         ./usr/share/applications/tessival.desktop; do
  grep -qx "$f" <<<"$contents" || fail "the package lacks $f"
done
for size in 16 22 24 32 48 64 128 256; do
  grep -qx "./usr/share/icons/hicolor/${size}x${size}/apps/tessival.png" <<<"$contents" \
    || fail "the package lacks the ${size}x${size} icon"
done
grep -q 'tst_\|bench_' <<<"$contents" && fail "the package holds test or benchmark programs"
echo "contents: $(grep -c . <<<"$contents") entries"

root="$work/root"
dpkg-deb -x "$deb" "$root" || fail "the package does not unpack"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/tessival.desktop" || fail "invalid desktop entry"
fi
exec_line=$(grep '^Exec=' "$root/usr/share/applications/tessival.desktop" | cut -d= -f2)
[ -x "$root/usr/bin/$exec_line" ] || fail "the desktop entry runs $exec_line, which is not installed"

# Start it as the menu would, in a home folder that has never seen the program.
e2e_start_x || exit 77
home="$work/home"
mkdir -p "$home"
( cd "$home" && exec env "${E2E_NO_LOCALE[@]}" HOME="$home" QT_QPA_PLATFORM=xcb \
    "$root/usr/bin/$exec_line" >"$work/app.log" 2>&1 ) &
E2E_APPPID=$!
e2e_wait_window "Tessival" || { cat "$work/app.log"; fail "the installed program did not show its window"; }
[ -s "$home/Tessival/ortiwen.gdb" ] || fail "the launcher made no database in ~/Tessival"
rows=$(sqlcipher -cmd "PRAGMA key='qmzrvl';" "$home/Tessival/ortiwen.gdb" "select count(*) from POST;" | grep -v '^ok$')
[ "${rows:-0}" -gt 0 ] || fail "the launcher's database has no catalogue"
e2e_stop_app

# A second start keeps the database the user has (here: one order line added).
sqlcipher -cmd "PRAGMA key='qmzrvl';" "$home/Tessival/ortiwen.gdb" \
  "insert into tOrder(报刊代号, 报刊类型) values('x-1', 0);" >/dev/null
( cd "$home" && exec env "${E2E_NO_LOCALE[@]}" HOME="$home" QT_QPA_PLATFORM=xcb \
    "$root/usr/bin/$exec_line" >"$work/app2.log" 2>&1 ) &
E2E_APPPID=$!
e2e_wait_window "Tessival" || fail "the second start did not show the window"
kept=$(sqlcipher -cmd "PRAGMA key='qmzrvl';" "$home/Tessival/ortiwen.gdb" "select count(*) from tOrder;" | grep -v '^ok$')
[ "$kept" = 1 ] || fail "the second start did not keep the user's database"
echo "OK"

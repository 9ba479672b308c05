#!/usr/bin/env bash
# The Debian package, installed and run: builds the .deb with CPack, checks it with
# desktop-file-validate, appstreamcli and lintian (errors), unpacks it with dpkg-deb -x
# into a throw-away root (a chroot with dpkg -i would need a whole Debian system inside;
# the unpacked tree is what dpkg -i would put under /usr, and the programs find their
# data relative to themselves), makes that root read-only, and from it builds the demo
# disc with tellavine-cli and starts and ends the desktop program offscreen. Settings,
# run log and temporaries must land in the XDG folders, nothing in the prefix.
#   install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tellavine-install-test.XXXXXX")
cleanup() { chmod -R u+w "$work" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "== $*"; }

step "package"
cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/package/tellavine_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# shlibdeps names the libraries' packages; each must be one this system knows.
for dependency in $(echo "$depends" | tr ',' '\n' | sed 's/(.*)//; s/|.*//' | tr -d ' '); do
  dpkg-query -W -f='${Status}\n' "$dependency" 2>/dev/null | grep -q "install ok installed" ||
    fail "dependency $dependency is not an installed package"
done
for library in libqt6widgets6 libqt6network6 libmpg123-0 libtwolame0; do
  [[ $depends == *"$library"* ]] || fail "Depends lacks $library"
done

step "lintian (errors)"
lintian --fail-on error "$deb" || fail "lintian reports errors"

root=$work/root
dpkg-deb -x "$deb" "$root"
prefix=$root/usr
step "desktop-file-validate, appstreamcli validate"
desktop-file-validate "$prefix/share/applications/org.tellavine.Tellavine.desktop" || fail "desktop file"
appstreamcli validate --no-net "$prefix/share/metainfo/org.tellavine.Tellavine.metainfo.xml" || fail "AppStream file"
for file in bin/tellavine bin/tellavine-cli libexec/tellavine/tellavine-mpegworker \
            share/tellavine/template/classic.ini share/tellavine/avseq01.npal share/tellavine/help/intro.htm \
            share/man/man1/tellavine-cli.1.gz share/man/man1/tellavine.1.gz share/mime/packages/tellavine.xml \
            share/icons/hicolor/scalable/apps/tellavine.svg share/icons/hicolor/16x16/apps/tellavine.png; do
  [[ -e $prefix/$file ]] || fail "the package lacks $file"
done
zcat "$prefix/share/man/man1/tellavine-cli.1.gz" | grep -q '^\.SH' || fail "the manual page is empty"

# The demo project, made from the source tree's photos (music too).
"$source/scripts/make-demo.sh" --project-only "$build" "$work/demo" >/dev/null

# A read-only installation, run by a user whose folders are all in the work folder.
# Root may write anywhere: as root the programs run without the capabilities that allow it.
chmod -R a-w "$root"
touch "$work/before"
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state XDG_CACHE_HOME=$work/cache
mkdir -p "$HOME" "$XDG_CONFIG_HOME/tellavine"
printf '[GENERAL]\nDISC_NAME=INSTALLED\nbLogFile=1\n' >"$XDG_CONFIG_HOME/tellavine/config.ini"
unprivileged=()
[[ $(id -u) == 0 ]] && unprivileged=(setpriv --bounding-set -dac_override,-dac_read_search --)

step "tellavine-cli build from the installed copy"
"${unprivileged[@]}" "$prefix/bin/tellavine-cli" --version | grep -q "tellavine-cli" || fail "--version"
mkdir -p "$work/out"
"${unprivileged[@]}" "$prefix/bin/tellavine-cli" build "$work/demo/demo.ovp" -o "$work/out/demo.cue" --yes ||
  fail "the installed tellavine-cli could not build the demo disc"
[[ -s $work/out/demo.bin ]] || fail "no image"
"${unprivileged[@]}" "$prefix/bin/tellavine-cli" inspect "$work/out/demo.cue" | grep -q "INSTALLED" ||
  fail "the volume label of config.ini in XDG_CONFIG_HOME was not used"
grep -q "Begin Encoding..." "$XDG_STATE_HOME/tellavine/orx_log.txt" || fail "no run log in XDG_STATE_HOME"
[[ -d $XDG_CACHE_HOME/tellavine/Temp ]] || fail "no temporary folder in XDG_CACHE_HOME"

step "tellavine offscreen from the installed copy"
rm -r "$XDG_CONFIG_HOME/tellavine" "$XDG_STATE_HOME/tellavine"
QT_QPA_PLATFORM=offscreen "${unprivileged[@]}" "$prefix/bin/tellavine" >"$work/gui.log" 2>&1 &
gui=$!
# The state folder appears as the main window is made, after the signals are handled.
for _ in $(seq 100); do [[ -d $XDG_STATE_HOME/tellavine ]] && break; sleep 0.2; done
sleep 2
kill -0 "$gui" 2>/dev/null || { cat "$work/gui.log"; fail "the desktop program ended by itself"; }
kill -TERM "$gui"
status=0
for _ in $(seq 50); do kill -0 "$gui" 2>/dev/null || break; sleep 0.2; done
wait "$gui" || status=$?
[[ $status == 0 ]] || { cat "$work/gui.log"; fail "the desktop program ended with status $status"; }
grep -q '^\[Window\]' "$XDG_CONFIG_HOME/tellavine/config.ini" || fail "no settings written to XDG_CONFIG_HOME"

step "nothing written into the prefix"
changed=$(find "$root" -newer "$work/before")
[[ -z $changed ]] || fail "written into the installation: $changed"
echo "PASS"

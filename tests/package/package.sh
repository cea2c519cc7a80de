#!/usr/bin/env bash
# The .deb as a user gets it: unpacked into a scratch root, the program runs from
# there as a user who cannot write to it, finds its sample sound in share/dawnbell
# and keeps profiles in ~/.local/share; apt installs it (its dependencies exist),
# it runs, and apt removes it. Needs the X server of scripts/services.
set -uo pipefail
[[ -n ${DISPLAY:-} ]] || { echo "e2e_package: skipped: no DISPLAY (run it under scripts/services)"; exit 77; }
fail() { echo "e2e_package: FAIL: $*" >&2; exit 1; }
tmp=$(mktemp -d) pid="" installed=""
cleanup() {
    [[ -n $pid ]] && kill "$pid" 2>/dev/null && wait "$pid"
    [[ -n $installed ]] && apt-get remove -y -qq dawnbell >/dev/null
    chmod -R u+w "$tmp"; rm -rf "$tmp"
}
trap cleanup EXIT
chmod 755 "$tmp"

cpack --config "$DAWNBELL_BUILD_DIR/CPackConfig.cmake" -B "$tmp" >/dev/null || fail "cpack failed"
deb=$(ls "$tmp"/dawnbell_*_*.deb) || fail "cpack made no dawnbell_<version>_<arch>.deb"
root=$tmp/root home=$tmp/home
dpkg-deb -x "$deb" "$root" && mkdir "$home" || fail "cannot unpack $deb"
files=(bin/dawnbell share/dawnbell/Sample1.mp3 share/dawnbell/Sample2.mp3 share/applications/dawnbell.desktop
       share/metainfo/io.github.dawnbell.Dawnbell.metainfo.xml share/man/man1/dawnbell.1.gz
       share/icons/hicolor/scalable/apps/dawnbell.svg)
for n in 16 22 24 32 48 64 128 256; do files+=("share/icons/hicolor/${n}x$n/apps/dawnbell.png"); done
files+=("$(cd "$root/usr" && find lib -path '*/dawnbell/dawnbell_sound.so')")   # no sound without it
for f in "${files[@]}"; do [[ -f $root/usr/$f ]] || fail "the package lacks /usr/$f"; done
# Menus and software centres skip an entry or metadata that Debian's validators refuse.
desktop-file-validate "$root/usr/share/applications/dawnbell.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --no-color "$root"/usr/share/metainfo/*.xml >&2 || fail "appstreamcli validate"
lintian --fail-on error "$deb" >&2 2>/dev/null || fail "lintian found errors"
# Qt decodes MP3 and WAV and plays them through GStreamer's plugins.
dpkg-deb -f "$deb" Depends | grep -q 'gstreamer1.0-plugins-good' || fail "no dependency on gstreamer1.0-plugins-good"
# Native windows on Wayland desktops.
dpkg-deb -f "$deb" Recommends | grep -q 'qt6-wayland' || fail "qt6-wayland is not recommended"

# The command line answers without a display; wrong use ends with status 2.
version=$(env -u DISPLAY "$root/usr/bin/dawnbell" --version)
[[ $version == "dawnbell $(dpkg-deb -f "$deb" Version)" ]] || fail "--version says '$version'"
env -u DISPLAY "$root/usr/bin/dawnbell" --no-such-option 2>/dev/null
[[ $? -eq 2 ]] || fail "an unknown option does not end with status 2"

# A user cannot write to the program's folder. Root writes anywhere, so root runs it as nobody.
chmod -R a-w "$root"
as_user=()
[[ $(id -u) -eq 0 ]] && { chown nobody "$home"; as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups); }
env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u XDG_RUNTIME_DIR HOME="$home" TMPDIR="$home" \
    DBUS_SESSION_BUS_ADDRESS=disabled: "${as_user[@]}" "$root/usr/bin/dawnbell" 2>"$tmp/stderr" &
pid=$!
# window TITLE: the program's visible window titled exactly so, once shown.
window() { timeout 30 xdotool search --all --sync --onlyvisible --pid "$pid" --name "^$1\$" | head -n 1; }
main=$(window Dawnbell); [[ -n $main ]] || fail "no main window; the program said: $(cat "$tmp/stderr")"
xdotool windowactivate --sync "$main" key --clearmodifiers ctrl+n
editor=$(window "Create a New Profile"); [[ -n $editor ]] || fail "Ctrl+N opened no editor"
# Save at once: the profile "Default" with the default sound, the sample in the data folder.
xdotool mousemove --window "$editor" 328 388 click 1
profile=$home/.local/share/dawnbell/Profiles/Default.wkp
timeout 20 bash -c "until [[ -s '$profile' ]]; do sleep 0.1; done" ||
    fail "no $profile; the program's folder holds: $(ls "$root/usr/bin")"
sound=$(sed -n 4p "$profile" | tr -d '\r')
[[ $sound == "$root/usr/share/dawnbell/Sample1.mp3" ]] || fail "a new profile's sound is '$sound'"
kill "$pid" && wait "$pid"; pid=""

if [[ $(id -u) -ne 0 ]]; then echo "e2e_package: not root: the install with apt-get is skipped"; exit 0; fi
if dpkg -s dawnbell >/dev/null 2>&1; then echo "e2e_package: dawnbell is installed here: left alone"; exit 0; fi
installed=1
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >/dev/null ||
    fail "apt-get install $deb failed"
for f in "${files[@]}"; do [[ -f /usr/$f ]] || fail "no /usr/$f after apt-get install"; done
[[ $(env -u DISPLAY dawnbell --version) == "$version" ]] || fail "the installed dawnbell does not run"
apt-get remove -y -qq dawnbell >/dev/null || fail "apt-get remove dawnbell failed"
installed=""
echo "e2e_package: passed"

#!/usr/bin/env bash
# The Debian package as a user gets it: built from this build with tools/package.sh, checked by
# lintian, unpacked into a private root where the programs run with every library found and
# the manual pages render, the menu entry and the software centre's metadata valid and naming
# the same id. As root, where no Sortwell package is installed yet, it is also installed with
# apt, started under Xvfb (its autostart entry must name /usr/bin/sortwell) and purged again.
#   package_test.sh SOURCE_FOLDER BUILD_FOLDER ARTIFACTS_FOLDER
set -euo pipefail

source_folder=$(realpath "$1")
build_folder=$(realpath "$2")
artifacts=$(realpath -m "$3")
rm -rf "$artifacts"
mkdir -p "$artifacts"
work=$(mktemp -d "${TMPDIR:-/tmp}/sortwell-package-XXXXXX")
trap 'rm -rf "$work"' EXIT

log() { echo "[$(date +%T)] $*"; }
fail() {
    log "FAILED: $*" >&2
    exit 1
}

bash "$source_folder/tools/package.sh" "$build_folder" "$work" >"$artifacts/package.log" 2>&1 ||
    fail "tools/package.sh failed: $(tail -n 20 "$artifacts/package.log")"
deb=$(find "$work" -maxdepth 1 -name 'sortwell_*_amd64.deb' | head -n 1)
[ -n "$deb" ] || fail "no sortwell_<version>_amd64.deb was made"
version=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$deb")" = "sortwell_${version}_amd64.deb" ] || fail "the package is named $(basename "$deb")"
log "built $(basename "$deb")"

lintian --fail-on error,warning "$deb" >"$artifacts/lintian.txt" 2>&1 ||
    fail "lintian found errors or warnings: $(cat "$artifacts/lintian.txt")"
log "lintian: no errors, no warnings"

root=$work/root
dpkg-deb -x "$deb" "$root"
for program in sortwell sortwell-preview; do
    [ -x "$root/usr/bin/$program" ] || fail "/usr/bin/$program is not in the package"
    ! ldd "$root/usr/bin/$program" | grep 'not found' ||
        fail "$program needs libraries this machine lacks"
done
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/sortwell" --version)" = "sortwell $version" ] ||
    fail "--version does not say sortwell $version"
env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/sortwell" --help | grep -q '^Usage: sortwell' ||
    fail "--help shows no usage"
log "the unpacked programs run, every library found"

for page in sortwell sortwell-preview; do
    file=$root/usr/share/man/man1/$page.1.gz
    MANWIDTH=80 man --warnings -l "$file" >"$artifacts/$page.1.txt" 2>"$work/man-warnings.txt" ||
        fail "man cannot render $page(1)"
    [ ! -s "$work/man-warnings.txt" ] || fail "$page(1) renders with warnings: $(cat "$work/man-warnings.txt")"
    grep -q '^NAME' "$artifacts/$page.1.txt" || fail "$page(1) has no NAME section"
done
for option in --present --undo --help --version XDG_CONFIG_HOME XDG_STATE_HOME sortwell-journal \
    sortwell-moves autostart 'EXIT STATUS'; do
    grep -q -- "$option" "$artifacts/sortwell.1.txt" || fail "sortwell(1) does not tell of $option"
done
log "the manual pages render without warnings"

entry=$(find "$root/usr/share/applications" -name '*.desktop')
metainfo=$(find "$root/usr/share/metainfo" -name '*.metainfo.xml')
desktop-file-validate "$entry" || fail "desktop-file-validate refuses $(basename "$entry")"
appstreamcli validate --no-net "$metainfo" >"$artifacts/appstream.txt" 2>&1 ||
    fail "appstreamcli refuses the metadata: $(cat "$artifacts/appstream.txt")"
id=$(basename "$entry" .desktop)
grep -q "<id>$id</id>" "$metainfo" || fail "the metadata's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metadata does not launch $id.desktop"
[ "$(basename "$metainfo")" = "$id.metainfo.xml" ] || fail "the metadata file is not named $id"
log "menu entry and metadata valid, both $id"

if [ "$(id -u)" -ne 0 ]; then
    log "SKIP installing: only root installs packages"
    exit 0
fi
if dpkg-query -W -f='${Status}' sortwell 2>/dev/null | grep -q 'ok installed'; then
    log "SKIP installing: a Sortwell package is installed on this machine already"
    exit 0
fi
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$deb" \
    >"$artifacts/apt-install.log" 2>&1 || fail "apt cannot install it: $(tail "$artifacts/apt-install.log")"
purge() {
    DEBIAN_FRONTEND=noninteractive apt-get purge -y sortwell >"$artifacts/apt-purge.log" 2>&1
}
trap 'purge || true; rm -rf "$work"' EXIT
[ -x /usr/bin/sortwell ] || fail "/usr/bin/sortwell is not there after the install"
man -w sortwell >/dev/null || fail "man does not find sortwell(1) after the install"
log "installed with apt"

"$source_folder/tests/x11/run_under_xvfb.sh" "$source_folder/tests/package/start_installed.sh" \
    "$artifacts" || fail "the installed program did not start as it should"
log "the installed program started; its autostart entry runs /usr/bin/sortwell"

purge || fail "apt cannot purge it: $(tail "$artifacts/apt-purge.log")"
trap 'rm -rf "$work"' EXIT
[ ! -e /usr/bin/sortwell ] || fail "/usr/bin/sortwell is still there after the purge"
! dpkg-query -W -f='${Status}' sortwell 2>/dev/null | grep -q 'ok installed' ||
    fail "dpkg still lists sortwell after the purge"
log "purged; passed"

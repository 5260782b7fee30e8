#!/usr/bin/env bash
# Installs the build into a scratch prefix, as `cmake --install` does for a
# user or a package, and checks what a desktop gets from it: the programs
# (answering --help and --version without a display), the desktop entry, the
# MIME type, the icons, the AppStream metadata, the manual pages and the
# sample. The validators run where they are installed.
#   test_install.sh BUILD_DIR APP_ID
set -euo pipefail
build=$1
id=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/usr
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
has() { command -v "$1" >/dev/null; }

cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share

# The files, each where the desktop looks for it.
for f in bin/orbitlist bin/orbitlist-cli; do
    [ -x "$prefix/$f" ] || fail "$f is not an installed program"
done
for f in applications/$id.desktop mime/packages/$id.xml metainfo/$id.metainfo.xml \
         icons/hicolor/scalable/apps/$id.svg man/man1/orbitlist.1.gz man/man1/orbitlist-cli.1.gz \
         orbitlist/sample-channel.bin doc/orbitlist/copyright doc/orbitlist/changelog.Debian.gz; do
    [ -s "$share/$f" ] || fail "share/$f is missing"
done
for size in 16 22 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x${size}/apps/$id.png
    # The PNG header holds width and height as big-endian words at 16 and 20.
    read -r w h < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $3 * 256 + $4, $7 * 256 + $8}') || true
    [ "${w:-}x${h:-}" = "${size}x${size}" ] || fail "$png is ${w:-?}x${h:-?}, not ${size}x${size}"
done

# One version: the programs, the metadata, the manual pages.
version=$("$prefix/bin/orbitlist-cli" --version) || fail "orbitlist-cli --version failed"
version=${version#orbitlist-cli }
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "orbitlist-cli --version printed '$version'"
grep -q "<release version=\"$version\"" "$share/metainfo/$id.metainfo.xml" || fail "metainfo has no release $version"
for page in orbitlist orbitlist-cli; do
    zcat "$share/man/man1/$page.1.gz" | grep -q "\"orbitlist $version\"" || fail "$page.1 does not name $version"
done

# The editor answers --help and --version before it needs a display.
gui() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$prefix/bin/orbitlist" "$@"; }
out=$(gui --version 2>&1) || fail "orbitlist --version exited $? without a display: $out"
[ "$out" = "orbitlist $version" ] || fail "orbitlist --version printed '$out'"
out=$(gui --help 2>&1) || fail "orbitlist --help exited $? without a display"
grep -q "^Usage: .*orbitlist \[options\] \[FILE\]" <<<"$out" || fail "orbitlist --help printed: $out"

# The command-line tool on the installed sample.
out=$("$prefix/bin/orbitlist-cli" info "$share/orbitlist/sample-channel.bin") || fail "info on the sample failed"
grep -q "^kind: channel$" <<<"$out" || fail "info on the sample printed: $out"

# The desktop entry opens the files of the MIME type the package declares.
mime=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$share/mime/packages/$id.xml")
grep -qx "MimeType=$mime;" "$share/applications/$id.desktop" || fail "the desktop entry does not name $mime"
grep -qx "Icon=$id" "$share/applications/$id.desktop" || fail "the desktop entry does not name the icon $id"
if has desktop-file-validate; then
    desktop-file-validate "$share/applications/$id.desktop" || fail "desktop-file-validate"
else
    echo "desktop-file-validate not installed: skipped" >&2
fi
if has appstreamcli; then
    appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >"$tmp/as.log" 2>&1 ||
        { cat "$tmp/as.log" >&2; fail "appstreamcli validate"; }
else
    echo "appstreamcli not installed: skipped" >&2
fi

# The content match knows a container at the front and leaves other binary
# files alone, also among the system's own types (raw disk images claim
# *.img too).
if has update-mime-database && has gio; then
    mkdir -p "$tmp/mime/packages"
    cp /usr/share/mime/packages/*.xml "$tmp/mime/packages/" 2>/dev/null || true
    cp "$share/mime/packages/$id.xml" "$tmp/mime/packages/"
    update-mime-database "$tmp/mime" >/dev/null 2>&1 || fail "update-mime-database"
    sample=$share/orbitlist/sample-channel.bin
    cp "$sample" "$tmp/copy.img"
    head -c 262144 /dev/urandom >"$tmp/noise.bin"
    cp "$tmp/noise.bin" "$tmp/disk.img"
    printf '\377\377\377\377\377\377\377\377' >"$tmp/erased.bin"
    type_of() { GIO_USE_VFS=local XDG_DATA_DIRS=$tmp XDG_DATA_HOME=$tmp/none gio info -a standard::content-type "$1" |
                sed -n 's/.*standard::content-type: //p'; }
    for f in "$sample" "$tmp/copy.img"; do
        [ "$(type_of "$f")" = "$mime" ] || fail "$(basename "$f") is $(type_of "$f"), not $mime"
    done
    for f in "$tmp/noise.bin" "$tmp/disk.img" "$tmp/erased.bin"; do
        [ "$(type_of "$f")" != "$mime" ] || fail "$(basename "$f") is taken for $mime"
    done
else
    echo "update-mime-database or gio not installed: MIME check skipped" >&2
fi

# The manual pages render without warnings, and the tool's page has every
# command of its usage.
if has man; then
    for page in orbitlist orbitlist-cli; do
        MANWIDTH=80 man --warnings -l "$share/man/man1/$page.1.gz" >"$tmp/$page.txt" 2>"$tmp/$page.err" ||
            fail "man -l $page.1.gz"
        [ ! -s "$tmp/$page.err" ] || { cat "$tmp/$page.err" >&2; fail "man -l $page.1.gz warns"; }
    done
    "$prefix/bin/orbitlist-cli" --help | sed -n 's/^  orbitlist-cli \([a-z][a-z-]*\).*/\1/p' | grep -vx help >"$tmp/commands"
    [ "$(wc -l <"$tmp/commands")" -gt 20 ] || fail "the usage lists $(wc -l <"$tmp/commands") commands"
    while read -r command; do
        grep -q "^   $command$" "$tmp/orbitlist-cli.txt" || fail "orbitlist-cli.1 has no section $command"
    done <"$tmp/commands"
else
    echo "man not installed: manual pages not rendered" >&2
fi

if [ "$failures" -gt 0 ]; then
    echo "$failures failures" >&2
    exit 1
fi
echo "installed layout checked"

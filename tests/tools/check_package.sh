#!/usr/bin/env bash
# Checks the Debian package that scripts/package made, without installing it: its version
# and dependencies, its contents, the unpacked zorvane-cli finding its templates in the
# installed layout, the desktop entry and MIME type, the icons, the manual pages against
# the program's own commands and options, the completion, and lintian.
# Usage: tests/tools/check_package.sh [BUILD_DIR]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
shopt -s nullglob
debs=("$BUILD"/zorvane_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "package: expected one zorvane_*.deb in $BUILD"; exit 1; }
DEB=${debs[0]}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "package: $*"; failures=$((failures + 1)); }

# The version is set once, in CMakeLists.txt.
version=$(sed -n 's/^project(zorvane VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
[ "$(basename "$DEB")" = "zorvane_${version}_amd64.deb" ] || fail "$(basename "$DEB") is not zorvane_${version}_amd64.deb"
[ "$(dpkg-deb -f "$DEB" Version)" = "$version" ] || fail "control Version is not $version"

# Dependencies come from the programs' libraries (dpkg-shlibdeps; libcurl, opened at run time, by hand).
depends=$(dpkg-deb -f "$DEB" Depends)
for soname in libc.so.6 libpng16.so.16 libjpeg.so.62 libcurl.so.4 libpcre2-8.so.0 \
  libutf8proc.so.2 libwx_gtk3u_core-3.2.so.0 libwx_gtk3u_webview-3.2.so.0; do
  # awk reads to the end: a reader that quits early kills ldconfig with SIGPIPE (pipefail).
  lib=$(ldconfig -p | awk -v s="$soname" '!found && $1 == s && /x86-64/ { print $NF; found = 1 }')
  # By the real file's name: with merged /usr, dpkg knows it under /lib or /usr/lib.
  owner=$({ dpkg -S "*/x86_64-linux-gnu/$(basename "$(readlink -f "$lib")")" 2>/dev/null || true; } |
    sed -n '1s/:.*//p')
  [ -n "$owner" ] || { fail "no package owns $soname"; continue; }
  grep -Eq "(^|, )$owner( |,|$)" <<< "$depends" || fail "Depends lacks $owner ($soname): $depends"
done

# The files a user expects after installing.
MULTIARCH=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -dumpmachine)
R="$WORK/root"
dpkg-deb -x "$DEB" "$R"
expected=(usr/bin/zorvane usr/bin/zorvane-cli usr/share/applications/zorvane.desktop
  usr/share/mime/packages/zorvane.xml usr/share/icons/hicolor/scalable/apps/zorvane.svg
  usr/share/man/man1/zorvane.1.gz usr/share/man/man1/zorvane-cli.1.gz
  usr/share/bash-completion/completions/zorvane-cli usr/share/doc/zorvane/copyright
  usr/share/doc/zorvane/changelog.gz usr/share/locale/en/LC_MESSAGES/zorvane.mo
  "usr/lib/$MULTIARCH/zorvane/zorvane-webview.so")
for t in "$ROOT"/template/*; do expected+=("usr/share/zorvane/template/$(basename "$t")"); done
sizes=(16 24 32 48 64 128 256)
for s in "${sizes[@]}"; do expected+=("usr/share/icons/hicolor/${s}x${s}/apps/zorvane.png"); done
for f in "${expected[@]}"; do [ -f "$R/$f" ] || fail "missing /$f"; done
# The web view library comes with the document module only; the program opens that module
# from ../lib/<triplet>/zorvane when a document is first shown.
if readelf -d "$R/usr/bin/zorvane" | grep -q 'NEEDED.*webview'; then
  fail "/usr/bin/zorvane links the web view library itself"
fi
readelf -d "$R/usr/lib/$MULTIARCH/zorvane/zorvane-webview.so" | grep -q 'NEEDED.*libwx_gtk3u_webview' ||
  fail "zorvane-webview.so does not link the web view library"
for s in "${sizes[@]}"; do
  png="$R/usr/share/icons/hicolor/${s}x${s}/apps/zorvane.png"
  [ -f "$png" ] && [ "$(identify -format %wx%h "$png")" != "${s}x${s}" ] && fail "$png is not ${s}x${s}"
done

# The unpacked command-line program: its version, a project, and the templates of the
# installed layout (marked here, so a build tree's copy cannot pass for them).
CLI="$R/usr/bin/zorvane-cli"
SAMPLE="$ROOT/sample/Project"
export ZORVANE_COMMON_FILES="$ROOT/sample/CommonFiles" LC_ALL=C.UTF-8
[ "$("$CLI" --version)" = "$version" ] || fail "zorvane-cli --version is not $version"
title=$(iconv -f CP932 -t UTF-8 "$SAMPLE/Game.ini" | sed -n 's/^Title=//p' | tr -d '\r')
"$CLI" info "$SAMPLE/Game.rxproj" > "$WORK/info.txt" || fail "zorvane-cli info failed"
grep -qxF "Title: $title" "$WORK/info.txt" || fail "zorvane-cli info does not show the title $title"
echo '<!-- installed layout -->' >> "$R/usr/share/zorvane/template/header.html"
"$CLI" doc "$SAMPLE" --common 1 -o "$WORK/doc.html" || fail "zorvane-cli doc failed"
grep -qF '<!-- installed layout -->' "$WORK/doc.html" ||
  fail "zorvane-cli did not take its templates from /usr/share/zorvane/template"

# Desktop entry: valid, starting a program of the package, for the MIME type it installs.
desktop="$R/usr/share/applications/zorvane.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate reports the entry"
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$R/usr/bin/$exec_program" ] || fail "Exec=$exec_program is not a program of the package"
mime=$(sed -n 's/^MimeType=\([^;]*\);.*/\1/p' "$desktop")
mkdir -p "$WORK/mime/packages" && cp "$R/usr/share/mime/packages/zorvane.xml" "$WORK/mime/packages/"
update-mime-database "$WORK/mime" 2> /dev/null || fail "update-mime-database rejects the MIME file"
grep -qE ":$mime:\*\.rxproj$" "$WORK/mime/globs2" 2>/dev/null ||
  fail "*.rxproj is not $mime in the MIME database"

# Manual pages: rendered without warnings, naming every command and option of the program.
for page in zorvane zorvane-cli; do
  LC_ALL=C MANWIDTH=200 man --nh --nj --warnings -l "$R/usr/share/man/man1/$page.1.gz" \
    > "$WORK/$page.txt" 2> "$WORK/$page.err" || fail "man -l $page.1.gz failed"
  [ ! -s "$WORK/$page.err" ] || fail "man -l $page.1.gz warns: $(cat "$WORK/$page.err")"
  grep -q "^NAME" "$WORK/$page.txt" || fail "$page(1) has no NAME section"
done
commands=$("$CLI" --help | sed -n '/^Subcommands:/,$ s/^  \([a-z][a-z-]*\) .*/\1/p')
[ -n "$commands" ] || fail "zorvane-cli --help lists no commands"
for c in $commands; do
  grep -qE "^ {3}$c( |$)" "$WORK/zorvane-cli.txt" || fail "zorvane-cli(1) has no section for $c"
  for o in $("$CLI" "$c" --help | grep -oE -- '(^|[ ,])--?[a-z][a-z-]*' | tr -d ' ,' | sort -u); do
    grep -qF -- "$o" "$WORK/zorvane-cli.txt" || fail "zorvane-cli(1) does not name $c $o"
  done
done

# Completion: the commands, and the ids of --map and --common from the named project as
# Ruby's own Marshal reads them.
complete_words() {  # the candidates for the last of the given words
  PATH="$R/usr/bin:$PATH" bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    _zorvane_cli; printf "%s\n" "${COMPREPLY[@]}"' _ \
    "$R/usr/share/bash-completion/completions/zorvane-cli" "$@" | sort
}
[ "$(complete_words zorvane-cli '' | grep -v '^-')" = "$(sort <<< "$commands")" ] ||
  fail "completion of the commands differs from zorvane-cli --help"
ruby_ids() {
  ruby -r "$ROOT/tests/support/marshal_stubs" -e "$1" "$SAMPLE/Data" | sort
}
maps=$(ruby_ids 'puts load_data(File.join(ARGV[0], "MapInfos.rxdata")).keys')
commons=$(ruby_ids 'load_data(File.join(ARGV[0], "CommonEvents.rxdata")).each_with_index { |c, i| puts i if c }')
[ "$(complete_words zorvane-cli list "$SAMPLE/Game.rxproj" --map '')" = "$maps" ] ||
  fail "completion of --map is not the sample's map ids"
[ "$(complete_words zorvane-cli doc "$SAMPLE" --common '')" = "$commons" ] ||
  fail "completion of --common is not the sample's common event ids"

# lintian: no error; its warnings are shown.
lintian --tag-display-limit 0 "$DEB" > "$WORK/lintian.txt" 2>&1 || true
grep -E '^[EWI]:' "$WORK/lintian.txt" || true
! grep -q '^E:' "$WORK/lintian.txt" || fail "lintian reports errors"
# The private module is opened by its path: the maintainer scripts have nothing for ldconfig.
dpkg-deb -e "$DEB" "$WORK/control"
! grep -qs ldconfig "$WORK/control/postinst" "$WORK/control/postrm" ||
  fail "the maintainer scripts run ldconfig"

if [ $failures -gt 0 ]; then
  echo "package: $failures problems in $(basename "$DEB")"
  exit 1
fi
echo "package: $(basename "$DEB") holds $(dpkg-deb -c "$DEB" | grep -vc '/$') files; all checks pass"

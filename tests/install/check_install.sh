#!/bin/sh
# Installs the build into a temporary prefix and checks what landed there: the programs run,
# and the desktop entry and AppStream metainfo pass their validators.
# Usage: check_install.sh BUILD_DIR EXPECTED_VERSION WITH_UI(ON|OFF)
set -u
build=$1
version=$2
with_ui=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
need() { command -v "$1" >/dev/null 2>&1 || { echo "FAIL: $1 is missing; run scripts/install-deps.sh" >&2; exit 1; }; }

cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || { cat "$prefix.log" >&2; rm -f "$prefix.log"; echo "FAIL: cmake --install" >&2; exit 1; }
rm -f "$prefix.log"

shown=$("$prefix/bin/zlgen-cli" --version 2>&1) || fail "installed zlgen-cli --version exited with $?"
[ "$shown" = "$version" ] || fail "installed zlgen-cli --version printed '$shown', expected '$version'"
[ -s "$prefix/share/man/man1/zlgen-cli.1" ] || fail "man page share/man/man1/zlgen-cli.1 missing"
if command -v man >/dev/null 2>&1; then
    man -l "$prefix/share/man/man1/zlgen-cli.1" 2>&1 >/dev/null | grep . && fail "man page has warnings"
fi

if [ "$with_ui" = ON ]; then
    need desktop-file-validate
    need appstreamcli
    id=org.zerlinwizard.zlgen
    [ -x "$prefix/bin/zlgen" ] || fail "bin/zlgen missing"
    [ -s "$prefix/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "icon missing"
    desktop="$prefix/share/applications/$id.desktop"
    metainfo="$prefix/share/metainfo/$id.metainfo.xml"
    desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
    grep -q '^StartupWMClass=zlgen$' "$desktop" || fail "StartupWMClass is not zlgen"
    exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
    [ -x "$prefix/bin/$exec_name" ] || fail "Exec=$exec_name is not an installed program"
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate $metainfo"
fi

[ $failures -eq 0 ] && echo "installed layout OK"
exit $failures

#!/bin/sh
# Installs the Debian packages the build and the tests need, when any is missing.
set -e
PACKAGES="build-essential cmake g++ clang libgtest-dev libgmock-dev googletest libbenchmark-dev \
libcli11-dev nlohmann-json3-dev qt6-base-dev xvfb xauth mdbtools python3 time valgrind \
postgresql-15 libpq-dev libsqlite3-dev sqlite3 \
libxcb1-dev libqt6svg6 openbox x11-utils fonts-dejavu-core desktop-file-utils appstream \
dpkg-dev man-db ccache clang-format clang-tidy libclang-rt-14-dev"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q $missing
fi

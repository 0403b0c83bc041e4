#!/usr/bin/env bash
# Installs the Debian packages dorvik needs to build, test and run; safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  unixodbc unixodbc-dev tdsodbc freetds-bin   # ODBC driver manager + SQL Server driver (TDS)
  libssl-dev                                   # MD5 and TLS
  libsqlite3-dev                               # storage of the SQL Server stand-in
  libcurl4-openssl-dev                         # SMTP client
  libgtest-dev libgmock-dev                    # tests
  python3 python3-aiosmtpd openssl             # SMTP test peer (openssl makes its throw-away certificate)
  locales                                      # regional formats for date-time text
  procps                                       # pgrep, with which the demo waits for the runners
  util-linux                                   # unshare: the update test that runs without a network
  curl                                         # the curl tool the update benchmark compares downloads with
  qt6-base-dev                                 # the setup tool's window (Qt Widgets) and its GUI tests (Qt Test)
  fonts-dejavu-core                            # a font for the setup tool on the offscreen platform (tests, screenshots)
)

. "$(dirname "$0")/lib/install-missing.sh"
install_missing "${packages[@]}"

# The connection code asks unixODBC for the driver by the name "FreeTDS".
if ! odbcinst -q -d -n FreeTDS >/dev/null 2>&1; then
  echo "registering the FreeTDS ODBC driver"
  $SUDO odbcinst -i -d -f /usr/share/tdsodbc/odbcinst.ini
fi

# Tests pin the Czech regional format; generate that locale once.
if ! locale -a 2>/dev/null | grep -qi '^cs_CZ\.utf-\?8$'; then
  echo "generating locale cs_CZ.UTF-8"
  $SUDO localedef -i cs_CZ -f UTF-8 cs_CZ.UTF-8
fi

#!/bin/sh
# Runs a Windows program under wine for the build and its tests:
#   wine-run.sh WINE WINESERVER DIR PROGRAM [ARGUMENT...]
# Each user gets a wine prefix of their own under DIR, made on first use:
# wine refuses a prefix, or a parent for a new one, that another user owns
# (root in CI included).
wine=$1
wineserver=$2
WINEPREFIX=$3/wineprefix-$(id -u)
shift 3
mkdir -p "$WINEPREFIX" || exit 1
if [ ! -O "$WINEPREFIX" ]; then
  echo "wine-run.sh: $WINEPREFIX belongs to another user: remove it" >&2
  exit 1
fi
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES

# A wine session's helper processes keep the standard output and error of
# the program that started the session open until they end, and a test
# runner waits for those to close. So a new session is started here, away
# from the caller's output, and stays up for 10 seconds after its last
# program ends, for the next run. (The server's status is 2 when a session
# is up already.)
if "$wineserver" -p10 </dev/null >/dev/null 2>&1; then
  "$wine" cmd /c exit </dev/null >/dev/null 2>&1
fi
exec "$wine" "$@"

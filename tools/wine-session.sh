#!/usr/bin/env bash
# CTest's fixture around the tests that Wine runs, for the build named by
# QUIMBARA_WINE_HOME, in a prefix of WINEARCH's width: `start` starts a
# private Xvfb screen and one persistent wineserver, `stop` ends both.
# In between the tests find that screen (quimbara_join_session), never the
# desktop's.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
case ${1:-} in
  start) quimbara_start_session "$QUIMBARA_SESSION" ;;
  stop) quimbara_stop_xvfb "$QUIMBARA_SESSION" ;;
  *) echo "usage: wine-session.sh start|stop" >&2; exit 2 ;;
esac

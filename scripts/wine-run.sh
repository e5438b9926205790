#!/usr/bin/env bash
# Runs a Windows program under Wine with the build tree's own prefix.
# WINEPREFIX may be set by the caller; otherwise the default tree's prefix.
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/win32/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$@"

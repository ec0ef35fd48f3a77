#!/usr/bin/env bash
# Fails when code outside the message views unpacks wParam/lParam by hand. A window procedure decodes
# each message once, through a typed view that checks what a sender can get wrong; a LOWORD, a cast of
# lParam or a read of a raw parameter anywhere else bypasses those checks.
# Allowed everywhere: declaring the parameters, and passing both on unchanged (DefWindowProc,
# CallWindowProc, a TMessage made from them). Tests are not checked: they read the packing on purpose.
# Usage: tools/check-message-cracking.sh   (from anywhere in the repository)
set -euo pipefail
cd "$(git rev-parse --show-toplevel)"

# The decoders: where the packing is defined and read.
allowed=(
    platform/rtl/wintypes.h        # LOWORD, HIWORD, GET_X_LPARAM... themselves
    platform/net/winsock.h         # WSAGETSELECTEVENT and its kin
    platform/gui/message_views.h   # the views' base, the only reader of the raw pair
    platform/gui/message_loop.cpp  # the queue: stores and delivers the pair whole
    platform/net/socket_views.h    # socket events, read with the macros winsock.h defines
)
exclude=(':!*/tests/*')
for f in "${allowed[@]}"; do exclude+=(":!$f"); done

unpack='\b(LOWORD|HIWORD|LOBYTE|HIBYTE|GET_[XY]_LPARAM|GET_\w+_WPARAM|WSAGET\w+)\s*\('
# TMessage's WParam/LParam, MSG's wParam, or a parameter by its usual name; an item structure's lParam
# (TVITEM, LVITEM...) is the caller's own value, not a message parameter.
param='(?<![\w.>])(wParam|lParam|WParam|LParam)\b|(\.|->)(WParam|LParam|wParam)\b'
declared='\b(WPARAM|LPARAM)\s+(wParam|lParam|WParam|LParam)\b'
passedOn='(\w+(\.|->))?(wParam|WParam)\s*,\s*(\w+(\.|->))?(lParam|LParam)\b'

# Comments are dropped first: they may name the parameters freely.
found=$(git grep -nP "$unpack|$param" -- '*.cpp' '*.h' "${exclude[@]}" |
            sed -E 's@^([^:]+:[0-9]+:)(.*)$@\1\2@; s@//.*$@@' |
            grep -P "$unpack|$param" |
            perl -ne "s/$declared//g; s/$passedOn//g; print if /$unpack|$param/" || true)
if [ -n "$found" ]; then
    echo "Messages unpacked by hand outside the message views (add a view, or a method to one):" >&2
    echo "$found" | sed 's/^/  /' >&2
    exit 1
fi
echo "Messages: wParam and lParam are read through the views only."

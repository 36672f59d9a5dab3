#!/usr/bin/env bash
# Regenerates every file under resources/ from the generators in this folder.
# Runs with Debian's own python3 (python3-pil, python3-numpy, python3-cairo);
# a python3 earlier on PATH may lack those packages.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
py=/usr/bin/python3
cd "$here/../.."
"$py" "$here/make_card_text.py"   # resources/CARDT.txt from tools/assets/cards.txt
"$py" "$here/make_art.py"         # pictures: JPG and BMP resources
"$py" "$here/make_sounds.py"      # A01..A11, B00..B17
"$py" "$here/make_cursors.py"     # CR1..CR8, MAINICON
"$py" "$here/make_contact_sheet.py"  # docs/contact-sheet.png, for review only

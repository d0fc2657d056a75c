#!/bin/sh
# Copies the sample library into the application data folder's library when that library holds no
# file yet; a library with any file of its own is left alone.
#
# The application data folder is $APPDATA when set, else $XDG_DATA_HOME (default ~/.local/share),
# followed by the application folder name: the first argument when given, else APP_FOLDER of the
# application information (data/app.dat, Base64 ini text, or its plain source data/app.ini), else
# "Vendrel".
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

app_folder_from() {
    # The value of APP_FOLDER (key case-insensitive) in ini text on standard input.
    tr -d '\r' | sed -n 's/^[[:space:]]*[Aa][Pp][Pp]_[Ff][Oo][Ll][Dd][Ee][Rr][[:space:]]*=[[:space:]]*//p' | head -n 1
}

folder=""
if [ $# -ge 1 ]; then
    folder=$1
elif [ -f "$root/data/app.dat" ]; then
    folder=$(base64 -d "$root/data/app.dat" 2>/dev/null | app_folder_from || true)
elif [ -f "$root/data/app.ini" ]; then
    folder=$(app_folder_from < "$root/data/app.ini")
fi
[ -n "$folder" ] || folder=Vendrel

base=${APPDATA:-${XDG_DATA_HOME:-$HOME/.local/share}}
target="$base/$folder"

for kind in Cabinets Riggings Ornaments SoundSystems Textures; do
    if [ -d "$target/$kind" ] && [ -n "$(find "$target/$kind" -maxdepth 1 -type f -print -quit)" ]; then
        echo "Library in $target already holds files: sample library not installed."
        exit 0
    fi
done

for kind in Cabinets Riggings Ornaments SoundSystems Textures Templates; do
    mkdir -p "$target/$kind"
    if [ -d "$here/library/$kind" ]; then
        cp "$here/library/$kind"/* "$target/$kind/"
    fi
done
echo "Sample library installed in $target."

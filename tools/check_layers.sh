#!/usr/bin/env bash
# Fails when a source file includes a header of a folder above its own layer:
#   app/ > editor/qt, panels/, report/ > editor/ > acoustics/, files/ > dsp/, scene/ > platform/core/,
# with platform/qt/ beside the core, seen by the Qt folders only. The core never includes Qt.
set -u
cd "$(dirname "$0")/.."

core="platform/core"
allowed_for() {
    case "$1" in
        platform/core) echo "$core" ;;
        platform/qt) echo "$core platform/qt" ;;
        dsp) echo "$core dsp" ;;
        scene) echo "$core scene" ;;
        acoustics) echo "$core dsp scene acoustics" ;;
        files) echo "$core dsp scene acoustics files" ;;
        editor) echo "$core dsp scene acoustics files editor" ;;
        editor/qt | panels | report) echo "$core platform/qt dsp scene acoustics files editor editor/qt panels report" ;;
        app) echo "$core platform/qt dsp scene acoustics files editor editor/qt panels report app" ;;
    esac
}
no_qt="platform/core dsp scene acoustics files editor"

status=0
for folder in platform/core platform/qt dsp scene acoustics files editor editor/qt panels report app; do
    [ -d "$folder" ] || continue
    allowed=$(allowed_for "$folder")
    if [ "$folder" = editor ]; then
        files=$(find editor -path editor/qt -prune -o -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.inc' \) -print)
    else
        files=$(find "$folder" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.inc' \))
    fi
    for f in $files; do
        while IFS= read -r line; do
            inc=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"$line")
            target=$(dirname "$inc")
            case "$target" in
                editor/qt/* | editor/qt) target=editor/qt ;;
                platform/*) target=$(cut -d/ -f1-2 <<<"$target") ;;
                */*) target=$(cut -d/ -f1 <<<"$target") ;;
            esac
            # Includes without a folder are files beside the includer.
            [ "$target" = . ] && continue
            ok=0
            for a in $allowed; do [ "$a" = "$target" ] && ok=1; done
            if [ $ok = 0 ]; then
                echo "$f: includes \"$inc\", a layer above $folder/"
                status=1
            fi
        done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$f")
        for nq in $no_qt; do
            if [ "$folder" = "$nq" ] && grep -qE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(Q[A-Za-z]|qcustomplot)' "$f"; then
                echo "$f: includes Qt, which $folder/ must not"
                status=1
            fi
        done
    done
done
[ $status = 0 ] && echo "Layers: every include points down."

# The model and the editor wait for conditions (a worker finished, a pause lifted), never for a fixed
# time: a fixed pause on the render path is time every render pays.
pauses=$(grep -rnE 'sleep_for|sleep_until|usleep|nanosleep' dsp scene acoustics files editor \
    --include='*.h' --include='*.cpp' --include='*.inc' | grep -v '^editor/qt/')
if [ -n "$pauses" ]; then
    echo "$pauses"
    echo "A fixed pause in the model or the editor: wait for the condition instead."
    status=1
else
    echo "Pauses: the model and the editor hold none."
fi
exit $status

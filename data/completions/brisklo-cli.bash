# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for brisklo-cli (options as `brisklo-cli --help` lists them).

_brisklo_cli() {
    local cur prev
    cur="${COMP_WORDS[COMP_CWORD]}"
    prev="${COMP_CWORD:+${COMP_WORDS[COMP_CWORD - 1]}}"
    case "$prev" in
        -o | --output)
            COMPREPLY=($(compgen -d -- "$cur"))
            return
            ;;
        --level | --image-level)
            COMPREPLY=($(compgen -W "general deep limit" -- "$cur"))
            return
            ;;
        --format)
            COMPREPLY=($(compgen -W "mp4 flv mov mkv" -- "$cur"))
            return
            ;;
        --channels)
            COMPREPLY=($(compgen -W "1 2" -- "$cur"))
            return
            ;;
        --sample-rate)
            COMPREPLY=($(compgen -W "96000 88200 64000 48000 44100 32000 24000 22050 16000 12000 11025 8000 7350" -- "$cur"))
            return
            ;;
        --audio-bitrate)
            COMPREPLY=($(compgen -W "320000 128000 96000 64000" -- "$cur"))
            return
            ;;
        --scale)
            COMPREPLY=($(compgen -W "0 1 2 3 4 5" -- "$cur"))
            return
            ;;
        --gif-drop)
            COMPREPLY=($(compgen -W "0 1 2 3 4" -- "$cur"))
            return
            ;;
        --size | --image-size | --crf | --stall-timeout | --target-size | --target-percent | --image-max-size | --min-saving)
            # A value to type: nothing to offer.
            COMPREPLY=()
            return
            ;;
    esac
    if [[ "$cur" == -* ]]; then
        COMPREPLY=($(compgen -W "-o --output -r --recursive --level --format --size --crf
            --balanced --quality-first --target-size --target-percent --image-max-size
            --keep-photo-info --keep-location --min-saving --channels --sample-rate --audio-bitrate --image-level --jpeg --scale
            --image-size --gif-drop --stall-timeout --allow-larger --json -q --quiet -v
            --verbose -h --help --version" -- "$cur"))
        return
    fi
    # Files and folders to compress.
    COMPREPLY=($(compgen -f -- "$cur"))
}
complete -o filenames -o bashdefault -F _brisklo_cli brisklo-cli
